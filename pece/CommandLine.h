#pragma once
// pece's command line: its commands, their files and options, and the usage
// texts that --help prints. Pure rules: nothing here touches a file, the
// device or the console.
#include <optional>
#include <string>
#include <vector>

enum class Command { None, Help, Version, Info, Ls, Put, Run, Shot, Record, Pex, Convert, Doctor };

// What a command line asks for.
struct Invocation {
    Command command = Command::None;  // None: no argument at all
    bool help = false;                // COMMAND --help: the command's usage instead of its job
    std::vector<std::wstring> files;
    bool json = false;
    int scale = 1;
    std::optional<double> seconds;
    std::wstring error;  // what makes the line unusable; empty for a good line
};

// `arguments`: those after the program's name, as the platform splits them.
Invocation ParseArguments(const std::vector<std::wstring>& arguments);

// Every command, the conventions of output and the exit codes: what --help
// prints. Lines are parted by "\n"; the last one has no line end.
std::wstring UsageText();
// One command's usage line(s) and the exit codes: what COMMAND --help prints.
std::wstring CommandUsageText(Command command);
// The line a usage error is followed by: the command's usage, or where to read it.
std::wstring UsageHint(Command command);
