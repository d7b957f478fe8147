#include "MsgBox.h"

namespace {
std::wstring& TitleStore()
{
    static std::wstring title;
    return title;
}

void (*textShow)(const std::wstring&) = nullptr;
}

void SetAppTitle(const std::wstring& title) { TitleStore() = title; }

int MsgBox(HWND owner, const std::wstring& text, UINT style)
{
    if (!textShow) return MessageBoxW(owner, text.c_str(), TitleStore().c_str(), style);
    textShow(text);
    const UINT buttons = style & MB_TYPEMASK;
    if (buttons == MB_OK) return IDOK;
    return buttons == MB_YESNO ? IDNO : IDCANCEL;
}

void ShowBoxesAsText(void (*show)(const std::wstring& text)) { textShow = show; }
