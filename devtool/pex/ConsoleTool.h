#pragma once
// Module1: runs a console tool with a hidden console and hands everything it
// writes, standard output and standard error alike, to the host (or another
// output of the caller's) as it comes.
#include "Host.h"

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

// How long a tool may go on after its output has ended before the run counts
// as failed. The tool itself is not stopped.
constexpr DWORD ToolExitWaitMs = 10000;

// Whether the tool could be started (and why not), whether it ended, and the
// code it ended with.
struct ConsoleToolResult {
    bool started = false;
    DWORD startError = 0;
    bool ended = false;
    DWORD exitCode = 0;
    bool Succeeded() const { return started && ended && exitCode == 0; }
};

// Where the texts of a run go, one call each.
using ToolOutput = std::function<void(const std::wstring&)>;

// Runs `commandLine` (passed unchanged; the empty `applicationName` lets the
// platform find the program from the line's first token) and hands its output
// to `output`, one text per read of at most 4094 bytes, in order, and nothing
// else. Returns when the tool has ended, or `exitWaitMs` after its output
// ended. The pipe is read on a thread of the run's own; `output` is called on
// the caller's thread alone, and must not throw.
ConsoleToolResult RunTool(const std::wstring& applicationName, const std::wstring& commandLine,
                          DWORD exitWaitMs, const ToolOutput& output);

// Why a run failed before the tool's own word: it could not be started, or
// it did not end. Empty for a tool that ended, whatever its code.
std::wstring ToolFailureText(const ConsoleToolResult& result, const std::wstring& commandLine);

// RunTool with the output forwarded to `output` (the host by default), then
// the empty text (or, instead, the failure's line) and "\r\n".
ConsoleToolResult RunConsoleTool(const std::wstring& applicationName, const std::wstring& commandLine,
                                 DWORD exitWaitMs = ToolExitWaitMs, const ToolOutput& output = HostMessage);

// How many bytes at the start of `bytes`, in the ANSI code page, hold whole
// characters: all of them, or all but a last lead byte whose trail byte has
// not arrived yet.
size_t WholeCharacterLength(std::string_view bytes);

// `text` as one argument of a command line: unchanged when it holds no blank,
// tab or double quote, otherwise quoted so that the usual parsing gives back
// exactly `text`.
std::wstring CommandLineArgument(const std::wstring& text);
