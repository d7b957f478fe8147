// FileGet over the platform's open and save dialogs.
#include "pubForm.h"

#include "PubFnc.h"

#include <commdlg.h>

#include <vector>

namespace {
std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator)
{
    std::vector<std::wstring> parts;
    for (size_t at = 0;; ++at) {
        const size_t end = text.find(separator, at);
        parts.push_back(text.substr(at, end - at));
        if (end == std::wstring::npos) return parts;
        at = end;
    }
}

// ".bmp" of "*.bmp"; nothing of "*.*", "*" or "*.b?p".
std::wstring PatternExtension(const std::wstring& pattern)
{
    const size_t dot = pattern.rfind(L'.');
    if (dot == std::wstring::npos || pattern.find_first_of(L"*?", dot) != std::wstring::npos) return {};
    return pattern.substr(dot);
}
}  // namespace

std::wstring DialogFilter(const std::wstring& kaku)
{
    std::wstring filter = kaku;
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.append(2, L'\0');
    return filter;
}

std::wstring WithTypeExtension(const std::wstring& typed, unsigned type, const std::wstring& kaku)
{
    const std::wstring extension = FileExtension(typed);
    const std::vector<std::wstring> parts = Split(kaku, L'|');
    std::wstring added;
    for (size_t i = 1; i < parts.size(); i += 2)
        for (const std::wstring& pattern : Split(parts[i], L';')) {
            const std::wstring own = PatternExtension(pattern);
            if (own.empty()) continue;
            if (CompareStringOrdinal(own.c_str(), -1, extension.c_str(), -1, TRUE) == CSTR_EQUAL) return typed;
            if (i == 2 * type - 1 && added.empty()) added = own;
        }
    if (added.empty()) return typed;
    // The platform drops a trailing dot from a file name: "shot." is "shot".
    return (extension == L"." ? typed.substr(0, typed.size() - 1) : typed) + added;
}

std::wstring pubForm::FileGet(const std::wstring& kaku, const std::wstring& iomode,
                              const std::wstring& fileName, HWND hWnd, TypedName typed)
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
    // The dialog tells which type was selected when it closed.
    if (typed == TypedName::WithTypeExtension) return WithTypeExtension(file.data(), ofn.nFilterIndex, kaku);
    return std::wstring(file.data());
}
