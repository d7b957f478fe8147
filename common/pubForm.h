#pragma once
// The one way the device tool asks the user for a file: the platform's open or
// save dialog.
#include <windows.h>

#include <string>

class pubForm {
public:
    // What becomes of a name typed without an extension of the filter's types.
    enum class TypedName {
        AsTyped,            // returned as it is
        WithTypeExtension,  // gets the extension of the type selected in the dialog
    };

    // `kaku`: description and pattern pairs joined by "|". `iomode` "OPEN" in any
    // case shows the open dialog, anything else the save dialog. `fileName` is
    // shown without a trailing backslash; `hWnd` (0 for none) owns the dialog.
    // Returns the chosen path, or the empty text on cancel or any failure.
    static std::wstring FileGet(const std::wstring& kaku, const std::wstring& iomode,
                                const std::wstring& fileName, HWND hWnd,
                                TypedName typed = TypedName::AsTyped);
};

// "a|b|c|d" as the platform wants a filter: "a\0b\0c\0d\0\0".
std::wstring DialogFilter(const std::wstring& kaku);

// `typed` as it is when it ends in the extension of any type of `kaku` (in any
// case), else with the first extension of the type numbered `type` (from 1)
// appended: "shot.v2" with "*.png" selected is "shot.v2.png". A type of
// wildcards only ("*.*") adds nothing.
std::wstring WithTypeExtension(const std::wstring& typed, unsigned type, const std::wstring& kaku);
