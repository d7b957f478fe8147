#pragma once
// The one verb that the host starts the device tool with.
#include <string>

enum class Verb { CreatePex, FileTrans, Info, Capture, Run, Menu };

// The argument text of a command line: everything after the program name and
// the blanks that follow it; trailing blanks stay.
std::wstring ArgumentText(const std::wstring& commandLine);

// The verb whose name equals the whole upper-cased text; Menu for anything else.
Verb MatchVerb(const std::wstring& argumentText);
