#pragma once
// What the converter's tests share: project files written as the code page
// 932 text the platform reads, entries read back with "absent" told apart,
// and the converter's message boxes answered through uidriver.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

inline constexpr wchar_t AppTitle_[] = L"VTP2SDSコンバートツール";

// Writes `text` as code page 932 bytes.
void WriteProjectText(const std::wstring& path, const std::wstring& text);

// The entry's value, or "<absent>" when the file has no such entry.
std::wstring Entry(const std::wstring& section, const std::wstring& key, const std::wstring& file);
inline const std::wstring Absent = L"<absent>";

// The converter's message box visible now (any process), or nullptr.
HWND FindBox();
// Waits up to `timeoutMs` for such a box.
HWND WaitForBox(DWORD timeoutMs);
// Answers the next box with `button` ("ok", "cancel") through uidriver and
// waits until it has gone; returns its text (its title is checked).
std::wstring Answer(const std::wstring& button);
// Wine returns from MessageBox about two seconds after the box has gone (it
// waits for a window manager, which the test display lacks); a box shown
// after the one answered last cannot appear sooner, and the program should
// not be closed before. This waits until that time has passed.
void WaitForLastBoxToReturn();
// True when a box of the converter appears within the time a box needs to
// follow the one answered last, and `ms` more.
bool BoxFollows(DWORD ms = 500);
// Runs `work` on a thread of its own and presses OK on every box it shows;
// returns their texts in order.
std::vector<std::wstring> BoxesDuring(const std::function<void()>& work);
