#pragma once
// The console program's commands: each does its job, says what came of it on
// standard output and standard error, and gives the exit code.
#include "CommandLine.h"

// The exit codes, the same for every command.
enum ExitCode : int {
    Done = 0,
    UsageError = 1,
    NoDeviceFound = 2,
    NoDeviceLibrary = 3,
    DeviceFailed = 4,
    FileFailed = 5,
    ToolFailed = 6,
};

int RunCommand(const Invocation& invocation);
