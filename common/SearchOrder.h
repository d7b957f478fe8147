#pragma once
// Where libraries and programs named without a folder are looked for: beside
// the program and in the system folders, never in the current folder, which
// may be a downloaded project's folder with a library or program planted in it.
#include <string>

// Before anything is loaded or started by name; the setting holds for the
// whole process, and the environment part for the programs it starts.
void LeaveCurrentFolderOutOfSearch();

// Where a program started by its bare `name` (the packer) is found once the
// search leaves the current folder out: beside this program, in the system
// folders, then on PATH. Empty when it is nowhere.
std::wstring FindProgram(const std::wstring& name);
