#pragma once
// Where libraries and programs named without a folder are looked for: beside
// the program and in the system folders, never in the current folder, which
// may be a downloaded project's folder with a library or program planted in it.

// Before anything is loaded or started by name; the setting holds for the
// whole process, and the environment part for the programs it starts.
void LeaveCurrentFolderOutOfSearch();
