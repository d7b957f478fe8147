#include "MsgBox.h"

namespace {
std::wstring& TitleStore()
{
    static std::wstring title;
    return title;
}
}

void SetAppTitle(const std::wstring& title) { TitleStore() = title; }

int MsgBox(HWND owner, const std::wstring& text, UINT style)
{
    return MessageBoxW(owner, text.c_str(), TitleStore().c_str(), style);
}
