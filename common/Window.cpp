#include "Window.h"

#include "LazyProc.h"
#include "MsgBox.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace {
// Above IDOK and IDCANCEL, which Enter and Esc send.
constexpr int FirstControlId = 100;
constexpr DWORD ExStyle = WS_EX_CONTROLPARENT;

// The DPI functions of newer systems are bound at their first use; older ones
// have one DPI for the whole screen, and the window takes that.
int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int WindowDpi(HWND window)
{
    static LazyProc<UINT(WINAPI*)(HWND)> getDpiForWindow("user32.dll", "GetDpiForWindow");
    if (const auto get = getDpiForWindow.get())
        if (const UINT dpi = get(window)) return static_cast<int>(dpi);
    return ScreenDpi();
}

// The frame around a client area at `dpi`.
void AdjustFrame(RECT& rect, DWORD style, DWORD exStyle, int dpi)
{
    static LazyProc<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)> adjustForDpi(
        "user32.dll", "AdjustWindowRectExForDpi");
    const auto adjust = adjustForDpi.get();
    if (!adjust || !adjust(&rect, style, FALSE, exStyle, dpi)) AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

// The system's message font at `dpi`. Where the system cannot give it for a
// DPI, it gives it for the screen's, and the height is scaled from there.
HFONT CreateMessageFont(int dpi)
{
    static LazyProc<BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT)> parametersForDpi(
        "user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    const auto forDpi = parametersForDpi.get();
    if (!forDpi || !forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, ScreenDpi());
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}
}

Window::Window(const wchar_t* className, const wchar_t* caption, int clientWidthTwips,
               int clientHeightTwips, Sizing sizing)
    : className_(className), caption_(caption), clientWidthTwips_(clientWidthTwips),
      clientHeightTwips_(clientHeightTwips),
      style_(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
             (sizing == Sizing::Sizable ? WS_THICKFRAME | WS_MAXIMIZEBOX : 0))
{
}

Window::~Window()
{
    if (shortcuts_) DestroyAcceleratorTable(shortcuts_);
    if (const HWND window = hwnd_) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        if (modalOwner_) EnableWindow(modalOwner_, TRUE);
        DestroyWindow(window);
    }
    if (font_) DeleteObject(font_);
}

bool Window::Load(HWND owner)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    bool registered = GetClassInfoExW(instance, className_, &wc);
    if (!registered) {
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className_;
        registered = RegisterClassExW(&wc) != 0;
    }
    if (registered)
        CreateWindowExW(ExStyle, className_, caption_, style_, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                        owner, nullptr, instance, this);
    if (!hwnd_) {
        MsgBox(owner, L"ウィンドウを作成できませんでした", MB_ICONEXCLAMATION | MB_OK);
        return false;
    }
    // Only the window knows which monitor, and so which DPI, it is on.
    dpi_ = WindowDpi(hwnd_);
    font_ = CreateMessageFont(dpi_);
    const SIZE frame = FrameSize({0, 0});
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Form_Load();
    return hwnd_ != nullptr;
}

void Window::ShowModal(HWND owner)
{
    if (!hwnd_) return;
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        modalOwner_ = owner;
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    // Activation gives the focus too, but only where a window manager activates.
    if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) SetFocus(first);

    MSG msg;
    while (hwnd_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // A shortcut acts only while this window, not a box over it, is active.
        const bool mine = msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd);
        if (shortcuts_ && mine && TranslateAcceleratorW(hwnd_, shortcuts_, &msg)) continue;
        if (!IsDialogMessageW(hwnd_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (modalOwner_) EnableWindow(modalOwner_, TRUE);
    modalOwner_ = nullptr;
    if (owner) SetActiveWindow(owner);
}

void Window::ShowCenteredModal(HWND owner)
{
    if (!Load(owner)) return;
    CenterOnScreen();
    ShowModal(owner);
}

void Window::Unload()
{
    if (hwnd_) Form_QueryUnload();
    if (modalOwner_) EnableWindow(modalOwner_, TRUE);
    modalOwner_ = nullptr;
    if (hwnd_) DestroyWindow(hwnd_);
}

HWND Window::BeginJob()
{
    busy_ = true;
    HWND focus = GetFocus();
    if (!IsChild(hwnd_, focus)) focus = nullptr;
    EnableWindow(hwnd_, FALSE);
    return focus;
}

void Window::EndJob(HWND focus)
{
    busy_ = false;
    if (!hwnd_) return;  // the job unloaded the window
    EnableWindow(hwnd_, TRUE);
    SetActiveWindow(hwnd_);
    if (focus && IsWindow(focus)) SetFocus(focus);
}

void Window::AddControls(const ControlTable& table)
{
    controls_ = table;
    std::vector<ACCEL> keys;
    for (const Control& c : controls_) {
        const HWND control =
            CreateWindowExW(c.exStyle, c.cls, c.caption, WS_CHILD | WS_VISIBLE | c.style, 0, 0, 0, 0, hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdOf(c))), GetModuleHandleW(nullptr),
                            nullptr);
        if (c.held) c.held(*this, control);
        // Esc comes as the dialog's IDCANCEL; any other key through the table.
        if (c.key && !(c.key == Esc))
            keys.push_back({static_cast<BYTE>(FVIRTKEY | c.key.modifiers), c.key.code, static_cast<WORD>(IdOf(c))});
    }
    if (shortcuts_) DestroyAcceleratorTable(shortcuts_);
    shortcuts_ = keys.empty() ? nullptr : CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
    SetFonts();
    PlaceControls();
}

int Window::IdOf(const Control& row) const
{
    return FirstControlId + static_cast<int>(&row - controls_.begin());
}

const Control* Window::Row(int id) const
{
    const int row = id - FirstControlId;
    return row >= 0 && static_cast<std::size_t>(row) < controls_.count ? controls_.begin() + row : nullptr;
}

bool Window::Command(int id, int code)
{
    const Control* row = Row(id);
    if (id == IDCANCEL) {
        row = std::find_if(controls_.begin(), controls_.end(), [](const Control& c) { return c.key == Esc; });
        if (row == controls_.end()) return false;
    }
    if (!row) return false;
    // A key ticks its check box or selects its option as a click does; the
    // click that follows runs the handler.
    const DWORD type = row->style & BS_TYPEMASK;
    if (code == 1 && row->key && std::wcscmp(row->cls, L"Button") == 0 &&
        (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON)) {
        SendMessageW(Item(*row), BM_CLICK, 0, 0);
        return true;
    }
    return (code == BN_CLICKED || (code == 1 && row->key)) && row->handler.Click(*this);
}

void Window::SetFonts()
{
    for (const Control& c : controls_) SendMessageW(Item(c), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

void Window::PlaceControls()
{
    const SIZE grown = Growth();
    for (const Control& c : controls_) {
        const Twips& t = c.twips;
        SetWindowPos(Item(c), nullptr, Pixels(t.left) + (t.follows & MovesRight ? grown.cx : 0),
                     Pixels(t.top) + (t.follows & MovesDown ? grown.cy : 0),
                     Pixels(t.width) + (t.follows & GrowsWide ? grown.cx : 0),
                     Pixels(t.height) + (t.follows & GrowsTall ? grown.cy : 0), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

SIZE Window::FrameSize(SIZE growth) const
{
    RECT frame = {0, 0, Pixels(clientWidthTwips_) + growth.cx, Pixels(clientHeightTwips_) + growth.cy};
    // The frame the window has, once it has one: where the system does not
    // scale frames for each monitor, it is not the one the DPI would give.
    RECT whole = {}, client = {};
    if (!IsIconic(hwnd_) && GetWindowRect(hwnd_, &whole) && GetClientRect(hwnd_, &client) && client.right > 0)
        return {frame.right + whole.right - whole.left - client.right, frame.bottom + whole.bottom - whole.top - client.bottom};
    AdjustFrame(frame, style_, ExStyle, dpi_);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

SIZE Window::Growth() const
{
    RECT client = {};
    GetClientRect(hwnd_, &client);
    return {std::max(0L, client.right - Pixels(clientWidthTwips_)),
            std::max(0L, client.bottom - Pixels(clientHeightTwips_))};
}

void Window::SetLeastGrowth(SIZE least, Fit fit)
{
    least_ = least;
    const SIZE grown = Growth();
    const SIZE to = fit == Fit::Exactly ? least : SIZE{std::max(grown.cx, least.cx), std::max(grown.cy, least.cy)};
    if (to.cx == grown.cx && to.cy == grown.cy && (fit == Fit::Grow || !IsZoomed(hwnd_))) return;
    if (IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    const SIZE frame = FrameSize(to);
    // Where the window grows over the edge of its monitor's work area, it
    // moves back in as far as it fits.
    RECT now = {};
    GetWindowRect(hwnd_, &now);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int left = std::max(work.left, std::min(now.left, work.right - frame.cx));
    const int top = std::max(work.top, std::min(now.top, work.bottom - frame.cy));
    SetWindowPos(hwnd_, nullptr, left, top, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::CenterOnScreen()
{
    RECT r;
    GetWindowRect(hwnd_, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->Dispatch(message, wParam, lParam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (busy_ || Command(LOWORD(wParam), HIWORD(wParam))) return 0;
        break;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const Control* row = Row(static_cast<int>(item.CtlID));
        if (row && row->handler.Paint(*this, item)) return TRUE;
        break;
    }
    case WM_CLOSE:
        // The close box leaves the window as Unload does. A window shut to
        // input, by a job or by a modal window or box over it, stays: a close
        // request from outside (a task list's "end task") would take the
        // window over it, still at work, down with it.
        if (IsWindowEnabled(hwnd_)) Unload();
        return 0;
    case WM_ACTIVATE:
        // Like a dialog: the control that had the focus gets it back.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (IsChild(hwnd_, focus)) lastFocus_ = focus;
        } else if (!HIWORD(wParam)) {
            SetFocus(IsWindow(lastFocus_) ? lastFocus_ : GetNextDlgTabItem(hwnd_, nullptr, FALSE));
        }
        return 0;
    case WM_DPICHANGED: {
        // Moved to a monitor of another DPI (or that monitor's scale changed):
        // the system suggests the frame; the controls and their font are ours.
        // The old font goes once no control uses it; a font the system cannot
        // make leaves the controls in the old one.
        const HFONT old = font_;
        if (const HFONT font = CreateMessageFont(LOWORD(wParam))) font_ = font;
        dpi_ = LOWORD(wParam);
        const RECT& frame = *reinterpret_cast<const RECT*>(lParam);
        SetFonts();
        // The frame is the system's, though rounding may make it a pixel
        // smaller than the design at the new DPI.
        followingDpi_ = true;
        SetWindowPos(hwnd_, nullptr, frame.left, frame.top, frame.right - frame.left,
                     frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
        followingDpi_ = false;
        PlaceControls();
        if (old != font_) DeleteObject(old);
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        OnDpiChanged();
        return 0;
    }
    case WM_GETMINMAXINFO: {
        if (followingDpi_) break;
        const SIZE least = FrameSize(least_);
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {least.cx, least.cy};
        return 0;
    }
    case WM_SIZE:
        // Controls that moved or grew are drawn afresh, and so is the window
        // behind them.
        if (wParam != SIZE_MINIMIZED) {
            PlaceControls();
            RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        return 0;
    case WM_DESTROY:
        Form_Unload();
        break;
    }
    if (message >= WM_APP && message <= 0xBFFF) {
        OnAppMessage(message);
        return 0;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

std::wstring WindowText(HWND window)
{
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
    return text;
}
