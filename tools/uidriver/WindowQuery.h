// Looking at the windows of other processes: which exist, what they say.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

std::vector<HWND> VisibleTopLevelWindows();
std::vector<HWND> VisibleTopLevelWindows(const std::wstring& caption);

// Every descendant, in the order EnumChildWindows gives them (z-order, depth first).
std::vector<HWND> Descendants(HWND parent);

// The caption the window manager keeps; asks nothing of the owning program.
std::wstring Caption(HWND window);

// The control's own text (WM_GETTEXT); the empty text when its program does not answer.
std::wstring ControlText(HWND control);

std::wstring ClassOf(HWND window);
bool IsClass(HWND window, const wchar_t* name);

// "&Open" -> "Open", "A&&B" -> "A&B": a caption as the user reads it.
std::wstring StripAccelerators(const std::wstring& caption);

// What `dc` shows in `area`, in the DC's own coordinates: each pixel
// 0x00RRGGBB, rows from the top. Another program's window is read through
// the screen's DC (GetDC(nullptr)); this program's through its own.
std::vector<std::uint32_t> Pixels(HDC dc, const RECT& area);

} // namespace ui
