// Driving the real windows of another process, for uidriver.exe and for test
// programs that link this library directly. Windows are found by caption
// among the visible top-level windows; every press is posted, so a handler
// that opens a modal window never blocks the caller. Each wait looks again
// every PollInterval ms until what it waits for holds or the caller's bound
// (timeoutMs) has passed; it looks at least once.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "WindowQuery.h"

namespace ui {

const DWORD PollInterval = 25;

// True once holds() is true; false when timeoutMs passed first.
bool WaitUntil(const std::function<bool()>& holds, DWORD timeoutMs);

// The first visible top-level window with this caption (and, when className
// is given, of this window class); nullptr when none came in time.
HWND WaitForWindow(const std::wstring& caption, DWORD timeoutMs, const wchar_t* className = nullptr);

// True once no visible top-level window has this caption.
bool WaitUntilGone(const std::wstring& caption, DWORD timeoutMs);

// A push button (not an option button) the user could press now - visible,
// enabled, in a window that takes input (not one shut by a job or a modal
// window over it), caption without & markers equal to `caption`, at any depth
// below the window; nullptr when none came in time.
HWND WaitForButton(const std::wstring& window, const std::wstring& caption, DWORD timeoutMs);
// The same for an option (radio) button.
HWND WaitForOption(const std::wstring& window, const std::wstring& caption, DWORD timeoutMs);

// Posts WM_COMMAND BN_CLICKED to the button's parent, as a user's click does.
void PostClick(HWND button);
// Posts BM_CLICK to the option button itself, so that it checks itself and
// clears the rest of its group before its parent hears BN_CLICKED.
void PostSelect(HWND option);

// WaitForButton then PostClick; false when the button did not come.
bool ClickButton(const std::wstring& window, const std::wstring& caption, DWORD timeoutMs);
// WaitForOption then PostSelect; false when the option did not come.
bool SelectOption(const std::wstring& window, const std::wstring& caption, DWORD timeoutMs);

// The index-th Edit (0 = first, in EnumChildWindows order, any depth) of the
// window; nullptr when none came in time.
HWND WaitForEdit(const std::wstring& window, size_t index, DWORD timeoutMs);
// WM_SETTEXT; false when the control's program did not take it within timeoutMs.
bool SetText(HWND control, const std::wstring& text, DWORD timeoutMs);

// Asks a window to close (WM_CLOSE posted); false when none came in time.
bool PostClose(const std::wstring& caption, DWORD timeoutMs);

// Message boxes: a visible top-level dialog with a text Static and no file
// name control. nullptr when none came in time.
HWND WaitForMessageBox(DWORD timeoutMs);
// The box's text (its Static with text).
std::wstring MessageText(HWND box);

enum class BoxIcon { None, Error, Warning, Information, Question, Unknown };
// "none", "error", "warning", "information", "question", "unknown".
const wchar_t* IconName(BoxIcon icon);
// Which system icon the box shows. Another program's icon handle tells
// nothing here (its bits cannot be read from this process), so the icon's
// pixels on the screen are compared with the system icons drawn here; a
// box not yet painted is looked at again until timeoutMs, then Unknown.
BoxIcon MessageIcon(HWND box, DWORD timeoutMs);

// Posts WM_COMMAND BN_CLICKED of the dialog's button with this id (IDOK,
// IDCANCEL, IDYES, IDNO...); false when it has no visible such button.
bool PressButton(HWND dialog, int id);

// An open or save dialog: a visible top-level dialog with a file name control
// (id 1148 or 1152). nullptr when none came in time.
HWND WaitForFileDialog(DWORD timeoutMs);
// True when the dialog's owner, or the root of its owners, has this caption.
bool OwnedBy(HWND dialog, const std::wstring& caption);
// Enters the path in the file name control, then presses OK; false when the
// dialog did not take the name within timeoutMs (OK is then not pressed).
bool AnswerFileDialog(HWND dialog, const std::wstring& path, DWORD timeoutMs);
// Presses Cancel.
void CancelFileDialog(HWND dialog);
// Selects the dialog's file type numbered `index` (0 = the first), as a pick
// in its list does; false when it has none of that number.
bool SelectFileType(HWND dialog, int index);

// One line "CLASS TAB CAPTION\n" per visible top-level window.
std::wstring DescribeTopLevelWindows();
// One line "CLASS TAB ID TAB TEXT\n" per descendant of the window.
std::wstring DescribeChildren(HWND window);

} // namespace ui
