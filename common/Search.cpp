#include "Search.h"

#include "Ansi.h"
#include "LazyProc.h"

namespace {
using SearchPathFn = decltype(&SearchPathA);
LazyProc<SearchPathFn> searchPath("kernel32.dll", "SearchPathA");
}

std::wstring SearchFile(const std::wstring& name)
{
    const SearchPathFn search = searchPath.get();
    if (name.empty() || !search) return {};
    const std::string n = ToAnsi(name);
    char buffer[MAX_PATH + 1] = {};
    DWORD needed = search(nullptr, n.c_str(), nullptr, sizeof buffer, buffer, nullptr);
    // A result that does not fit leaves the buffer undefined: not found here.
    if (needed >= sizeof buffer) return {};
    return FromAnsiBuffer(buffer, sizeof buffer);
}
