// FileGet over the platform's open and save dialogs.
#include "pubForm.h"

#include "PubFnc.h"

#include <commdlg.h>

#include <vector>

std::wstring DialogFilter(const std::wstring& kaku)
{
    std::wstring filter = kaku;
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.append(2, L'\0');
    return filter;
}

std::wstring pubForm::FileGet(const std::wstring& kaku, const std::wstring& iomode,
                              const std::wstring& fileName, HWND hWnd)
{
    const std::wstring filter = DialogFilter(kaku);
    const std::wstring initial = TrimTrailingBackslash(fileName);
    // Room for any path the dialog may give back; a longer initial name is a
    // failure of the dialog's set-up and, like every failure, no choice.
    std::vector<wchar_t> file(32768, L'\0');
    if (initial.size() >= file.size()) return {};
    initial.copy(file.data(), initial.size());

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hWnd;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.Flags = OFN_HIDEREADONLY;

    std::wstring mode = iomode;
    if (!mode.empty()) CharUpperBuffW(mode.data(), static_cast<DWORD>(mode.size()));
    const BOOL chosen = mode == L"OPEN" ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
    if (!chosen) return {};
    return std::wstring(file.data());
}
