// Text work of the host stand-in that needs no window or DDE: reading its own
// command line, building the program's command line, and the log line format.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct HostOptions {
    std::wstring project;              // answer to the "projectFileName" request
    bool service = true;               // false: no DDE service at all
    bool refuseExecutes = false;       // true: every execute is answered "not processed"
    bool failRequest = false;          // true: the request is answered with no data
    bool blockRequest = false;         // true: the request is held and never answered
    unsigned long blockExecutesFrom = 0;  // 1-based execute from which on none is answered; 0: none held
    std::wstring logFile;              // empty: no log
    std::optional<std::wstring> args;  // text after the program path, exactly as given
    std::wstring program;
};

// args are the arguments after the program name. False on anything it does not know.
bool ParseHostArgs(const std::vector<std::wstring>& args, HostOptions& options);

// The quoted program path, then one blank and the argument text when there is one.
std::wstring ChildCommandLine(const std::wstring& programPath,
                              const std::optional<std::wstring>& args);

// A JSON string literal, quotes included; characters from 0x20 up stay as they are.
std::wstring JsonString(const std::wstring& text);

extern const wchar_t HostUsage[];
