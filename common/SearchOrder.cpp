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
