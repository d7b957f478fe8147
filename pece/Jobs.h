#pragma once
// The commands' jobs, and what they share: the checks of the files named on
// the command line, and the words for a device job that did not get done.
#include "CommandLine.h"
#include "DeviceReports.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

int Info(const Invocation& invocation);
int List();
int Put(const Invocation& invocation);
int RunProgram(const Invocation& invocation);
int Shot(const Invocation& invocation);
int Record(const Invocation& invocation);
int Pex(const Invocation& invocation);
int Convert(const Invocation& invocation);
int Doctor();

// The full path of a file to read, named `argument` on the command line; none
// (and a message on standard error) when it is not there, is a folder, or
// cannot be named in the ANSI code page.
std::optional<std::wstring> FileToRead(const std::wstring& argument);
// The full path of a file to write: its folder is there, and it is neither a
// folder nor read-only. None (and a message) otherwise.
std::optional<std::wstring> FileToWrite(const std::wstring& argument);

// Runs `job` on the full path of each file to read, in order, every file
// tried; the exit code of the first that failed.
int EveryFile(const std::vector<std::wstring>& files,
              const std::function<int(const std::wstring& file, const std::wstring& path)>& job);

int ExitCodeOf(DeviceOutcome outcome);
// Says on standard error why a device job was not done, `failed` when the
// library refused it. The exit code.
int DeviceFailure(DeviceOutcome outcome, const std::wstring& failed);
