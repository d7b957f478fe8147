// uidriver: drives the real windows of another process for tests - waits for
// windows, presses buttons, fills and reads edit boxes, answers message boxes
// and file dialogs. Everything is found by caption among the visible
// top-level windows, and every press is posted, so a handler that opens a
// modal window never blocks the driver.

#include <windows.h>

#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "WindowQuery.h"

namespace {

const wchar_t Usage[] =
    L"usage: uidriver [--timeout MS] COMMAND ARGS...\n"
    L"\n"
    L"WINDOW is the exact caption of a visible top-level window. Commands wait up to\n"
    L"MS milliseconds (default 10000) for what they need, polling every 25 ms.\n"
    L"\n"
    L"  wait WINDOW              until the window exists\n"
    L"  gone WINDOW              until no such window exists\n"
    L"  click WINDOW BUTTON      post BN_CLICKED of the visible, enabled button whose\n"
    L"                           caption without & markers is BUTTON (any depth)\n"
    L"  select WINDOW OPTION     the same for an option (radio) button, posted to the\n"
    L"                           button (BM_CLICK) so that it checks itself first\n"
    L"  set-edit WINDOW N TEXT   set the text of the N-th Edit (0 = first, in the\n"
    L"                           order EnumChildWindows gives, any depth)\n"
    L"  get-edit WINDOW N        print the text of the N-th Edit\n"
    L"  msgbox [--press ok|cancel|yes|no]\n"
    L"                           wait for a message box, print TITLE \\n TEXT and\n"
    L"                           optionally press the button\n"
    L"  file-dialog [--owner WINDOW] PATH | --cancel\n"
    L"                           wait for an open or save dialog, print its caption,\n"
    L"                           enter PATH and press OK, or cancel it; --owner fails\n"
    L"                           unless the dialog's owner has that caption\n"
    L"  close WINDOW             post WM_CLOSE\n"
    L"  list [WINDOW]            print CLASS TAB CAPTION of each visible top-level\n"
    L"                           window, or CLASS TAB ID TAB TEXT of WINDOW's children\n"
    L"\n"
    L"Output is UTF-8 and printed as it is: get-edit, msgbox and file-dialog add no\n"
    L"line end; list ends each line with \\n. Exit code 0 on success, 1 when the\n"
    L"thing did not appear in time (one line on stderr), 2 on bad arguments.\n";

const int FileNameCombo = 1148;  // cmb13 of the open and save dialogs
const int FileNameEdit = 1152;   // edt1

DWORD g_timeout = 10000;

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) return {};
    const int n = static_cast<int>(text.size());
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), n, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), n, &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr);
    return bytes;
}

void Write(DWORD stream, const std::wstring& text)
{
    const std::string bytes = Utf8(text);
    DWORD written;
    if (!bytes.empty())
        WriteFile(GetStdHandle(stream), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

int Fail(const std::wstring& why)
{
    Write(STD_ERROR_HANDLE, L"uidriver: " + why + L"\n");
    return 1;
}

int BadArguments()
{
    Write(STD_ERROR_HANDLE, Usage);
    return 2;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring WithinTimeout() { return L" within " + std::to_wstring(g_timeout) + L" ms"; }

// Polls until found() holds or the timeout has passed; found() runs at least once.
bool WaitFor(const std::function<bool()>& found)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (found()) return true;
        if (GetTickCount() - start >= g_timeout) return false;
        Sleep(25);
    }
}

DWORD TimeLeft(DWORD start)
{
    const DWORD spent = GetTickCount() - start;
    return spent < g_timeout ? g_timeout - spent : 1;
}

void PostClick(HWND button)
{
    PostMessageW(GetParent(button), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool IsRadio(HWND button)
{
    const LONG type = GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// A button the user could press now: shown and enabled, with that caption.
HWND FindButton(const std::wstring& window, const std::wstring& caption, bool radio)
{
    for (HWND top : VisibleTopLevelWindows(window))
        for (HWND child : Descendants(top))
            if (IsClass(child, L"Button") && IsWindowVisible(child) && IsWindowEnabled(child) &&
                IsRadio(child) == radio && StripAccelerators(ControlText(child)) == caption)
                return child;
    return nullptr;
}

std::vector<HWND> Edits(HWND top)
{
    std::vector<HWND> edits;
    for (HWND child : Descendants(top))
        if (IsClass(child, L"Edit")) edits.push_back(child);
    return edits;
}

HWND FindEdit(const std::wstring& window, size_t index)
{
    for (HWND top : VisibleTopLevelWindows(window)) {
        const std::vector<HWND> edits = Edits(top);
        if (index < edits.size()) return edits[index];
    }
    return nullptr;
}

HWND FindChildById(HWND top, int id)
{
    for (HWND child : Descendants(top))
        if (GetDlgCtrlID(child) == id) return child;
    return nullptr;
}

bool IsDialog(HWND window) { return IsClass(window, L"#32770"); }

// The Static child that holds a message box's text; the icon's Static has none.
HWND MessageStatic(HWND box)
{
    for (HWND child : Descendants(box))
        if (IsClass(child, L"Static") && !ControlText(child).empty()) return child;
    return nullptr;
}

HWND FileNameControl(HWND dialog)
{
    HWND fallback = nullptr;
    for (int id : {FileNameCombo, FileNameEdit})
        if (HWND control = FindChildById(dialog, id)) {
            if (IsWindowVisible(control)) return control;
            if (!fallback) fallback = control;
        }
    return fallback;
}

HWND FindMessageBox()
{
    for (HWND w : VisibleTopLevelWindows())
        if (IsDialog(w) && !FileNameControl(w) && MessageStatic(w)) return w;
    return nullptr;
}

HWND FindFileDialog()
{
    for (HWND w : VisibleTopLevelWindows())
        if (IsDialog(w) && FileNameControl(w)) return w;
    return nullptr;
}

bool ParseCount(const std::wstring& text, size_t& value)
{
    if (text.empty() || text.find_first_not_of(L"0123456789") != std::wstring::npos) return false;
    value = std::wcstoul(text.c_str(), nullptr, 10);
    return true;
}

int Wait(const std::wstring& window)
{
    if (WaitFor([&] { return !VisibleTopLevelWindows(window).empty(); })) return 0;
    return Fail(L"no window " + Quoted(window) + WithinTimeout());
}

int Gone(const std::wstring& window)
{
    if (WaitFor([&] { return VisibleTopLevelWindows(window).empty(); })) return 0;
    return Fail(L"window " + Quoted(window) + L" still there after " + std::to_wstring(g_timeout) + L" ms");
}

int Click(const std::wstring& window, const std::wstring& caption)
{
    HWND button = nullptr;
    if (!WaitFor([&] { return (button = FindButton(window, caption, false)) != nullptr; }))
        return Fail(L"no enabled button " + Quoted(caption) + L" in window " + Quoted(window) + WithinTimeout());
    PostClick(button);
    return 0;
}

int Select(const std::wstring& window, const std::wstring& caption)
{
    HWND option = nullptr;
    if (!WaitFor([&] { return (option = FindButton(window, caption, true)) != nullptr; }))
        return Fail(L"no enabled option button " + Quoted(caption) + L" in window " + Quoted(window) + WithinTimeout());
    // Posted to the button itself, so it checks itself and clears the rest of
    // its group before the parent hears BN_CLICKED, as with a real click. A
    // WM_COMMAND posted to the parent would leave the old choice checked.
    PostMessageW(option, BM_CLICK, 0, 0);
    return 0;
}

int SetEdit(const std::wstring& window, size_t index, const std::wstring& text)
{
    const DWORD start = GetTickCount();
    HWND edit = nullptr;
    if (!WaitFor([&] { return (edit = FindEdit(window, index)) != nullptr; }))
        return Fail(L"no edit " + std::to_wstring(index) + L" in window " + Quoted(window) + WithinTimeout());
    DWORD_PTR ignored;
    if (!SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, TimeLeft(start), &ignored))
        return Fail(L"edit " + std::to_wstring(index) + L" in window " + Quoted(window) + L" did not take the text");
    return 0;
}

int GetEdit(const std::wstring& window, size_t index)
{
    HWND edit = nullptr;
    if (!WaitFor([&] { return (edit = FindEdit(window, index)) != nullptr; }))
        return Fail(L"no edit " + std::to_wstring(index) + L" in window " + Quoted(window) + WithinTimeout());
    Write(STD_OUTPUT_HANDLE, ControlText(edit));
    return 0;
}

int MessageBoxCommand(const std::vector<std::wstring>& args)
{
    int press = 0;
    if (args.size() == 2 && args[0] == L"--press") {
        const struct { const wchar_t* name; int id; } buttons[] = {
            {L"ok", IDOK}, {L"cancel", IDCANCEL}, {L"yes", IDYES}, {L"no", IDNO}};
        for (const auto& b : buttons)
            if (args[1] == b.name) press = b.id;
        if (!press) return BadArguments();
    } else if (!args.empty()) {
        return BadArguments();
    }

    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindMessageBox()) != nullptr; }))
        return Fail(L"no message box" + WithinTimeout());
    Write(STD_OUTPUT_HANDLE, Caption(box) + L"\n" + ControlText(MessageStatic(box)));
    if (press) {
        HWND button = GetDlgItem(box, press);
        if (!button || !IsWindowVisible(button))
            return Fail(L"message box " + Quoted(Caption(box)) + L" has no button " + Quoted(args[1]));
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    }
    return 0;
}

bool OwnedBy(HWND dialog, const std::wstring& caption)
{
    HWND owner = GetWindow(dialog, GW_OWNER);
    HWND root = GetAncestor(dialog, GA_ROOTOWNER);
    return (owner && Caption(owner) == caption) || (root && root != dialog && Caption(root) == caption);
}

int FileDialog(const std::vector<std::wstring>& args)
{
    std::wstring owner, path;
    bool hasOwner = false, cancel = false;
    size_t i = 0;
    if (i + 1 < args.size() && args[i] == L"--owner") {
        owner = args[i + 1];
        hasOwner = true;
        i += 2;
    }
    if (i + 1 != args.size()) return BadArguments();
    if (args[i] == L"--cancel") cancel = true;
    else path = args[i];

    const DWORD start = GetTickCount();
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = FindFileDialog()) != nullptr; }))
        return Fail(L"no file dialog" + WithinTimeout());
    const std::wstring caption = Caption(dialog);
    if (hasOwner && !OwnedBy(dialog, owner)) {
        HWND actual = GetWindow(dialog, GW_OWNER);
        return Fail(L"file dialog " + Quoted(caption) + L" is owned by " +
                    (actual ? Quoted(Caption(actual)) : std::wstring(L"no window")) +
                    L", not by " + Quoted(owner));
    }
    Write(STD_OUTPUT_HANDLE, caption);

    if (!cancel) {
        HWND name = FileNameControl(dialog);
        if (GetDlgCtrlID(name) == FileNameCombo && !IsClass(name, L"Edit"))
            for (HWND child : Descendants(name))
                if (IsClass(child, L"Edit")) { name = child; break; }
        DWORD_PTR ignored;
        if (!SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                                 SMTO_ABORTIFHUNG, TimeLeft(start), &ignored))
            return Fail(L"file dialog " + Quoted(caption) + L" did not take the file name");
    }
    const int id = cancel ? IDCANCEL : IDOK;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    return 0;
}

int Close(const std::wstring& window)
{
    std::vector<HWND> found;
    if (!WaitFor([&] { return !(found = VisibleTopLevelWindows(window)).empty(); }))
        return Fail(L"no window " + Quoted(window) + WithinTimeout());
    PostMessageW(found.front(), WM_CLOSE, 0, 0);
    return 0;
}

int List(const std::vector<std::wstring>& args)
{
    if (args.empty()) {
        for (HWND w : VisibleTopLevelWindows())
            Write(STD_OUTPUT_HANDLE, ClassOf(w) + L"\t" + Caption(w) + L"\n");
        return 0;
    }
    if (args.size() != 1) return BadArguments();
    std::vector<HWND> found;
    if (!WaitFor([&] { return !(found = VisibleTopLevelWindows(args[0])).empty(); }))
        return Fail(L"no window " + Quoted(args[0]) + WithinTimeout());
    for (HWND child : Descendants(found.front()))
        Write(STD_OUTPUT_HANDLE, ClassOf(child) + L"\t" + std::to_wstring(GetDlgCtrlID(child)) + L"\t" +
                                     ControlText(child) + L"\n");
    return 0;
}

int Run(const std::wstring& command, const std::vector<std::wstring>& a)
{
    size_t index = 0;
    if (command == L"wait" && a.size() == 1) return Wait(a[0]);
    if (command == L"gone" && a.size() == 1) return Gone(a[0]);
    if (command == L"click" && a.size() == 2) return Click(a[0], a[1]);
    if (command == L"select" && a.size() == 2) return Select(a[0], a[1]);
    if (command == L"set-edit" && a.size() == 3 && ParseCount(a[1], index)) return SetEdit(a[0], index, a[2]);
    if (command == L"get-edit" && a.size() == 2 && ParseCount(a[1], index)) return GetEdit(a[0], index);
    if (command == L"msgbox") return MessageBoxCommand(a);
    if (command == L"file-dialog" && !a.empty()) return FileDialog(a);
    if (command == L"close" && a.size() == 1) return Close(a[0]);
    if (command == L"list") return List(a);
    return BadArguments();
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    std::vector<std::wstring> args(argv + 1, argv + argc);
    size_t first = 0;
    if (args.size() >= 2 && args[0] == L"--timeout") {
        size_t ms;
        if (!ParseCount(args[1], ms)) return BadArguments();
        g_timeout = static_cast<DWORD>(ms);
        first = 2;
    }
    if (first >= args.size()) return BadArguments();
    return Run(args[first], std::vector<std::wstring>(args.begin() + first + 1, args.end()));
}
