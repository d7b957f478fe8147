#pragma once
// Message boxes pass no title of their own: they show the program's title,
// which each program sets once at start.
#include <windows.h>

#include <string>

void SetAppTitle(const std::wstring& title);
const std::wstring& AppTitle();
// Owned by the thread's active window, so the box stays modal over it.
int MsgBox(const std::wstring& text, UINT style);
