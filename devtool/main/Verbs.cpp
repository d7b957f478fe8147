// The verb of the command line, matched against the five that the tool knows.
#include "Verbs.h"

#include <windows.h>

#include <iterator>

std::wstring ArgumentText(const std::wstring& commandLine)
{
    size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        i = commandLine.find(L'"', 1);
        i = i == std::wstring::npos ? commandLine.size() : i + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
    }
    while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
    return commandLine.substr(i);
}

Verb MatchVerb(const std::wstring& argumentText)
{
    static const struct {
        const wchar_t* name;
        Verb verb;
    } table[] = {
        {L"CREATEPEX", Verb::CreatePex}, {L"FILETRANS", Verb::FileTrans}, {L"INFO", Verb::Info},
        {L"CAPTURE", Verb::Capture},     {L"RUN", Verb::Run},
    };
    std::wstring upper = argumentText;
    if (!upper.empty()) CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    for (const auto& entry : table)
        if (upper == entry.name) return entry.verb;
    return Verb::Menu;
}
