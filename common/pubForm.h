#pragma once
// The one way the device tool asks the user for a file: the platform's open or
// save dialog.
#include <windows.h>

#include <string>

class pubForm {
public:
    // `kaku`: description and pattern pairs joined by "|". `iomode` "OPEN" in any
    // case shows the open dialog, anything else the save dialog. `fileName` is
    // shown without a trailing backslash; `hWnd` (0 for none) owns the dialog.
    // Returns the chosen path, or the empty text on cancel or any failure.
    static std::wstring FileGet(const std::wstring& kaku, const std::wstring& iomode,
                                const std::wstring& fileName, HWND hWnd);
};

// "a|b|c|d" as the platform wants a filter: "a\0b\0c\0d\0\0".
std::wstring DialogFilter(const std::wstring& kaku);
