#pragma once
// INI操作: one profile entry at a time, over the platform's ANSI profile functions.
// Nothing here parses or caches a profile file.
#include <windows.h>

#include <string>

// The entry's value, or `def` when the file, section or key is absent.
// Values are read whole, however long.
std::wstring ReadIniValue(const std::wstring& section, const std::wstring& key,
                          const std::wstring& def, const std::wstring& file);

// Writes the entry; the empty text removes it. A refused write is shown to the
// user (the file's path, then "への書き込みに失敗しました") in a box over
// `owner` and reported as false.
bool WriteIniValue(const std::wstring& section, const std::wstring& key,
                   const std::wstring& value, const std::wstring& file, HWND owner = nullptr);
