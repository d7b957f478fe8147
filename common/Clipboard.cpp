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
    // Once SetClipboardData takes the memory it belongs to the system.
    const bool put = OpenClipboard(owner) && EmptyClipboard() && SetClipboardData(format, memory);
    if (!put) GlobalFree(memory);
    CloseClipboard();
    return put;
}
