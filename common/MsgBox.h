#pragma once
// Message boxes pass no title of their own: they show the program's title,
// which each program sets once at start.
#include <windows.h>

#include <string>

void SetAppTitle(const std::wstring& title);
// `owner` is the window that shows the box (null for none): the box is modal
// over it even when another window is active.
int MsgBox(HWND owner, const std::wstring& text, UINT style);

// A program without windows, which no one may be there to answer, shows each
// box's text through `show` instead (its line breaks as the box has them);
// the box counts as answered with OK, a question with its cautious answer,
// Cancel or No.
void ShowBoxesAsText(void (*show)(const std::wstring& text));
