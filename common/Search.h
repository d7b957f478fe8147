#pragma once
// SEARCH: where the platform's standard search order finds a file.
#include <string>

// Full path of the file found, or the empty text.
std::wstring SearchFile(const std::wstring& name);
