// Waits for windows of another process and acts on them as a user would.
#include "WindowActions.h"

#include <cstdlib>
#include <vector>

namespace ui {

namespace {

const int FileNameCombo = 1148;  // cmb13 of the open and save dialogs
const int FileNameEdit = 1152;   // edt1
const int FileTypeCombo = 1136;  // cmb1

bool IsRadio(HWND button)
{
    const LONG type = GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

HWND FindButton(const std::wstring& window, const std::wstring& caption, bool radio)
{
    for (HWND top : VisibleTopLevelWindows(window))
        for (HWND child : Descendants(top))
            if (IsWindowEnabled(top) && IsClass(child, L"Button") && IsWindowVisible(child) && IsWindowEnabled(child) &&
                IsRadio(child) == radio && StripAccelerators(ControlText(child)) == caption)
                return child;
    return nullptr;
}

HWND WaitForAnyButton(const std::wstring& window, const std::wstring& caption, bool radio, DWORD timeoutMs)
{
    HWND button = nullptr;
    WaitUntil([&] { return (button = FindButton(window, caption, radio)) != nullptr; }, timeoutMs);
    return button;
}

HWND FindEdit(const std::wstring& window, size_t index)
{
    for (HWND top : VisibleTopLevelWindows(window)) {
        std::vector<HWND> edits;
        for (HWND child : Descendants(top))
            if (IsClass(child, L"Edit")) edits.push_back(child);
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

// What a click on the dialog's button with this id tells the dialog.
void PostCommand(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The Static child that holds a message box's text; the icon's Static has none.
HWND MessageStatic(HWND box)
{
    for (HWND child : Descendants(box))
        if (IsClass(child, L"Static") && !ControlText(child).empty()) return child;
    return nullptr;
}

HWND IconStatic(HWND box)
{
    for (HWND child : Descendants(box))
        if (IsClass(child, L"Static") && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return child;
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

// The first visible top-level window that passes the test.
HWND WaitForTopLevel(bool (*matches)(HWND), DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND w : VisibleTopLevelWindows())
            if (matches(w)) return (found = w) != nullptr;
        return false;
    }, timeoutMs);
    return found;
}

bool IsMessageBox(HWND w) { return IsDialog(w) && !FileNameControl(w) && MessageStatic(w); }

bool IsFileDialog(HWND w) { return IsDialog(w) && FileNameControl(w); }

// A 32-bit top-down DIB selected into a memory DC.
class Picture {
public:
    Picture(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels_ = static_cast<DWORD*>(bits);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Picture()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool valid() const { return pixels_ != nullptr; }
    HDC dc() const { return dc_; }
    size_t size() const { return static_cast<size_t>(width_) * height_; }
    DWORD& operator[](size_t i) { return pixels_[i]; }
    DWORD operator[](size_t i) const { return pixels_[i]; }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    DWORD* pixels_ = nullptr;
};

bool Near(DWORD a, DWORD b)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 8)
            return false;
    return true;
}

// What the screen shows of the icon control, against each system icon drawn
// as the control draws it, over the background the control shows in its
// corner (where none of them has ink). Unknown until one matches.
BoxIcon IconOnScreen(HWND icon)
{
    RECT client;
    GetClientRect(icon, &client);
    if (client.right <= 0 || client.bottom <= 0) return BoxIcon::Unknown;
    // Another program's window cannot be read through its own DC here; the
    // screen's can.
    POINT origin = {0, 0};
    ClientToScreen(icon, &origin);
    HDC screen = GetDC(nullptr);
    const std::vector<std::uint32_t> seen =
        Pixels(screen, {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
    ReleaseDC(nullptr, screen);

    const struct { BoxIcon icon; LPCWSTR id; } systemIcons[] = {
        {BoxIcon::Error, IDI_ERROR}, {BoxIcon::Warning, IDI_WARNING},
        {BoxIcon::Information, IDI_INFORMATION}, {BoxIcon::Question, IDI_QUESTION}};
    BoxIcon best = BoxIcon::Unknown;
    size_t fewest = seen.size() / 32 + 1;  // the closest two differ in about a tenth
    for (const auto& s : systemIcons) {
        Picture drawn(client.right, client.bottom);
        if (!drawn.valid()) return BoxIcon::Unknown;
        for (size_t i = 0; i < drawn.size(); ++i) drawn[i] = seen[0];
        DrawIconEx(drawn.dc(), 0, 0, LoadIconW(nullptr, s.id), client.right, client.bottom, 0, nullptr, DI_NORMAL);
        GdiFlush();
        size_t differing = 0;
        for (size_t i = 0; i < drawn.size(); ++i)
            if (!Near(drawn[i], seen[i])) ++differing;
        if (differing < fewest) {
            fewest = differing;
            best = s.icon;
        }
    }
    return best;
}

} // namespace

bool WaitUntil(const std::function<bool()>& holds, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (holds()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(PollInterval);
    }
}

HWND WaitForWindow(const std::wstring& caption, DWORD timeoutMs, const wchar_t* className)
{
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND w : VisibleTopLevelWindows(caption))
            if (!className || IsClass(w, className)) return (found = w) != nullptr;
        return false;
    }, timeoutMs);
    return found;
}

bool WaitUntilGone(const std::wstring& caption, DWORD timeoutMs)
{
    return WaitUntil([&] { return VisibleTopLevelWindows(caption).empty(); }, timeoutMs);
}

HWND WaitForButton(const std::wstring& window, const std::wstring& caption, DWORD timeoutMs)
{
    return WaitForAnyButton(window, caption, false, timeoutMs);
}

HWND WaitForOption(const std::wstring& window, const std::wstring& caption, DWORD timeoutMs)
{
    return WaitForAnyButton(window, caption, true, timeoutMs);
}

void PostClick(HWND button)
{
    PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

void PostSelect(HWND option)
{
    // A WM_COMMAND posted to the parent would leave the old choice checked.
    PostMessageW(option, BM_CLICK, 0, 0);
}

bool ClickButton(const std::wstring& window, const std::wstring& caption, DWORD timeoutMs)
{
    HWND button = WaitForButton(window, caption, timeoutMs);
    if (button) PostClick(button);
    return button != nullptr;
}

bool SelectOption(const std::wstring& window, const std::wstring& caption, DWORD timeoutMs)
{
    HWND option = WaitForOption(window, caption, timeoutMs);
    if (option) PostSelect(option);
    return option != nullptr;
}

HWND WaitForEdit(const std::wstring& window, size_t index, DWORD timeoutMs)
{
    HWND edit = nullptr;
    WaitUntil([&] { return (edit = FindEdit(window, index)) != nullptr; }, timeoutMs);
    return edit;
}

bool SetText(HWND control, const std::wstring& text, DWORD timeoutMs)
{
    DWORD_PTR ignored;
    return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_ABORTIFHUNG, timeoutMs ? timeoutMs : 1, &ignored) != 0;
}

bool PostClose(const std::wstring& caption, DWORD timeoutMs)
{
    HWND window = WaitForWindow(caption, timeoutMs);
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    return window != nullptr;
}

HWND WaitForMessageBox(DWORD timeoutMs) { return WaitForTopLevel(IsMessageBox, timeoutMs); }

std::wstring MessageText(HWND box) { return ControlText(MessageStatic(box)); }

const wchar_t* IconName(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::None: return L"none";
    case BoxIcon::Error: return L"error";
    case BoxIcon::Warning: return L"warning";
    case BoxIcon::Information: return L"information";
    case BoxIcon::Question: return L"question";
    case BoxIcon::Unknown: break;
    }
    return L"unknown";
}

BoxIcon MessageIcon(HWND box, DWORD timeoutMs)
{
    HWND icon = IconStatic(box);
    if (!icon || !IsWindowVisible(icon) || !SendMessageW(icon, STM_GETICON, 0, 0)) return BoxIcon::None;
    BoxIcon seen = BoxIcon::Unknown;
    WaitUntil([&] { return (seen = IconOnScreen(icon)) != BoxIcon::Unknown; }, timeoutMs);
    return seen;
}

bool PressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (!button || !IsWindowVisible(button)) return false;
    PostCommand(dialog, id);
    return true;
}

HWND WaitForFileDialog(DWORD timeoutMs) { return WaitForTopLevel(IsFileDialog, timeoutMs); }

bool OwnedBy(HWND dialog, const std::wstring& caption)
{
    HWND owner = GetWindow(dialog, GW_OWNER);
    HWND root = GetAncestor(dialog, GA_ROOTOWNER);
    return (owner && Caption(owner) == caption) || (root && root != dialog && Caption(root) == caption);
}

bool AnswerFileDialog(HWND dialog, const std::wstring& path, DWORD timeoutMs)
{
    HWND name = FileNameControl(dialog);
    if (GetDlgCtrlID(name) == FileNameCombo && !IsClass(name, L"Edit"))
        for (HWND child : Descendants(name))
            if (IsClass(child, L"Edit")) { name = child; break; }
    if (!SetText(name, path, timeoutMs)) return false;
    PostCommand(dialog, IDOK);
    return true;
}

void CancelFileDialog(HWND dialog) { PostCommand(dialog, IDCANCEL); }

bool SelectFileType(HWND dialog, int index)
{
    const HWND types = FindChildById(dialog, FileTypeCombo);
    DWORD_PTR selected = CB_ERR;
    if (!types || !SendMessageTimeoutW(types, CB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, 2000, &selected) ||
        static_cast<int>(selected) != index)
        return false;
    // Setting the selection tells nobody; a pick in the list tells the
    // dialog that the selection changed and that the list closed on it.
    for (const WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(FileTypeCombo, code), reinterpret_cast<LPARAM>(types));
    return true;
}

std::wstring DescribeTopLevelWindows()
{
    std::wstring lines;
    for (HWND w : VisibleTopLevelWindows())
        lines += ClassOf(w) + L"\t" + Caption(w) + L"\n";
    return lines;
}

std::wstring DescribeChildren(HWND window)
{
    std::wstring lines;
    for (HWND child : Descendants(window))
        lines += ClassOf(child) + L"\t" + std::to_wstring(GetDlgCtrlID(child)) + L"\t" + ControlText(child) + L"\n";
    return lines;
}

} // namespace ui
