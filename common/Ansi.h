#pragma once
// Text is Unicode inside the programs; files, profiles, DDE and command lines
// see the ANSI code page. These three functions are the only crossing points.
#include <string>

std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& bytes);
// The text before the first NUL of a buffer handed to the platform.
std::wstring FromAnsiBuffer(const char* buffer, size_t size);
// Whether every character of `text` has its own bytes in the ANSI code page:
// a path that does not would name another file, or none, once it crossed.
bool FitsAnsi(const std::wstring& text);
