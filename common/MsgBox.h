#pragma once
// Message boxes pass no title of their own: they show the program's title,
// which each program sets once at start.
#include <windows.h>

#include <string>

void SetAppTitle(const std::wstring& title);
// `owner` is the window that shows the box (null for none): the box is modal
// over it even when another window is active.
int MsgBox(HWND owner, const std::wstring& text, UINT style);
