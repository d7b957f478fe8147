#include "SearchOrder.h"

#include "LazyProc.h"

namespace {
// Windows 8 on, and Windows 7 with its update; bound by name, so the programs
// still start on a Windows 7 without it.
LazyProc<decltype(&SetDefaultDllDirectories)> setDefaultDllDirectories("kernel32.dll", "SetDefaultDllDirectories");
}

void LeaveCurrentFolderOutOfSearch()
{
    // The program's folder, the system folder and nothing else (no current
    // folder, no PATH). Where that cannot be had, at least the current folder
    // goes out of the library search.
    const auto setDefault = setDefaultDllDirectories.get();
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) SetDllDirectoryW(L"");
    // A program started by a bare name (the packer) is looked for beside this
    // one, then in the system folders and on PATH, but not in the current
    // folder: the process start honours this variable whatever its value.
    SetEnvironmentVariableW(L"NoDefaultCurrentDirectoryInExePath", L"1");
}

std::wstring FindProgram(const std::wstring& name)
{
    // The process start's own order, the current folder left out.
    wchar_t exe[MAX_PATH * 4] = {}, system[MAX_PATH + 1] = {}, windows[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH * 4);
    GetSystemDirectoryW(system, MAX_PATH + 1);
    GetWindowsDirectoryW(windows, MAX_PATH + 1);
    std::wstring folders = exe;
    folders.erase(folders.find_last_of(L'\\') + 1);
    folders += L";" + std::wstring(system) + L";" + windows + L"\\System;" + windows;
    if (const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0)) {
        std::wstring path(size, L'\0');
        path.resize(GetEnvironmentVariableW(L"PATH", path.data(), size));
        folders += L";" + path;
    }
    wchar_t found[MAX_PATH * 4] = {};
    const DWORD length = SearchPathW(folders.c_str(), name.c_str(), nullptr, MAX_PATH * 4, found, nullptr);
    return length > 0 && length < MAX_PATH * 4 ? found : std::wstring();
}
