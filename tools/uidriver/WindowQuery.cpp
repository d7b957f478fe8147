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

} // namespace ui
