#include "Clipboard.h"

#include <cstring>

bool PutOnClipboard(HWND owner, UINT format, const std::string& bytes)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) return false;
    void* data = GlobalLock(memory);
    if (!data) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    GlobalUnlock(memory);
    // Another program may hold the clipboard open for a moment (a reader, a
    // clipboard manager): it is asked again for about a tenth of a second.
    bool open = OpenClipboard(owner);
    for (int tries = 0; !open && tries < 10; ++tries) {
        Sleep(10);
        open = OpenClipboard(owner);
    }
    // Once SetClipboardData takes the memory it belongs to the system.
    const bool put = open && EmptyClipboard() && SetClipboardData(format, memory);
    if (!put) GlobalFree(memory);
    if (open) CloseClipboard();
    return put;
}
