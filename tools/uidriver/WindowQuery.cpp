// Reading the windows of other processes without changing them.
#include "WindowQuery.h"

#include <cwchar>

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM into)
{
    reinterpret_cast<std::vector<HWND>*>(into)->push_back(window);
    return TRUE;
}

// A program busy in a long call must not hang the driver.
const UINT AnswerTimeout = 2000;

} // namespace

namespace ui {

std::vector<HWND> VisibleTopLevelWindows()
{
    std::vector<HWND> all, visible;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    for (HWND w : all)
        if (IsWindowVisible(w)) visible.push_back(w);
    return visible;
}

std::vector<HWND> VisibleTopLevelWindows(const std::wstring& caption)
{
    std::vector<HWND> found;
    for (HWND w : VisibleTopLevelWindows())
        if (Caption(w) == caption) found.push_back(w);
    return found;
}

std::vector<HWND> Descendants(HWND parent)
{
    std::vector<HWND> all;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::wstring Caption(HWND window)
{
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(GetWindowTextW(window, &text[0], static_cast<int>(text.size())));
    return text;
}

std::wstring ControlText(HWND control)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, AnswerTimeout, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                             SMTO_ABORTIFHUNG, AnswerTimeout, &copied))
        return {};
    text.resize(copied);
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

bool IsClass(HWND window, const wchar_t* name)
{
    return _wcsicmp(ClassOf(window).c_str(), name) == 0;
}

std::wstring StripAccelerators(const std::wstring& caption)
{
    std::wstring plain;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&') {
            if (i + 1 == caption.size()) break;
            ++i;
        }
        plain += caption[i];
    }
    return plain;
}

std::vector<std::uint32_t> Pixels(HDC dc, const RECT& area)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info = {{sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    const HDC memory = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    for (std::uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

} // namespace ui
