#pragma once
// Drags data from this process onto a window of another program and drops it
// there, as the shell does: real OLE drag and drop, the cursor held still at
// one screen point. The calling thread must have called OleInitialize.
#include <windows.h>

#include <string>
#include <vector>

// A file list (CF_HDROP, wide paths in the order given; may be empty).
HRESULT DropFiles(POINT screen, const std::vector<std::wstring>& files);
// Text alone (CF_UNICODETEXT), without any file list.
HRESULT DropText(POINT screen, const std::wstring& text);
