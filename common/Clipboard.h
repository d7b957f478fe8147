#pragma once
// The clipboard, written whole in one format.
#include <windows.h>

#include <string>

// Empties the clipboard and puts `bytes` on it as `format`, owned by `owner`.
// False when the clipboard could not be had (another program held it open
// longer than a moment) or the memory could not be made.
bool PutOnClipboard(HWND owner, UINT format, const std::string& bytes);
