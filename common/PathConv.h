#pragma once
// パス変換: quotes, trailing backslashes and dot segments.
#include <string>

// Mode 1 balances a quote at one end; any other mode removes one quote at each end.
std::wstring QuotePath(const std::wstring& text, short mode);
std::wstring AddTrailingBackslash(const std::wstring& path);
// "." and ".." segments resolved; the path unchanged when the platform gives nothing.
std::wstring CanonicalPath(const std::wstring& path);
