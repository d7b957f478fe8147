#pragma once
// Whole files written at once, through the platform's ANSI file functions.
#include <windows.h>

#include <string>

// Creates or empties the file and writes `bytes`; true when every byte is
// written and the file is closed.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Puts `bytes` in the place of the file at `path` only once they are written
// whole: they go into a new file in the same folder, which then replaces the
// old one. On any failure the old file is left as it was and nothing else stays.
// A read-only file is not replaced; a hidden or system one stays so.
bool ReplaceFileBytes(const std::wstring& path, const std::string& bytes);

// As ReplaceFileBytes, with the whole contents of the open file `source`, read
// from its start, in place of the bytes.
bool ReplaceFileFrom(const std::wstring& path, HANDLE source);
