#include "PathConv.h"

#include "Ansi.h"
#include "LazyProc.h"

#include <shlwapi.h>

namespace {
using CanonicalizeFn = decltype(&PathCanonicalizeA);
LazyProc<CanonicalizeFn> pathCanonicalize("shlwapi.dll", "PathCanonicalizeA");

bool StartsWithQuote(const std::wstring& t) { return !t.empty() && t.front() == L'"'; }
bool EndsWithQuote(const std::wstring& t) { return !t.empty() && t.back() == L'"'; }
}

std::wstring QuotePath(const std::wstring& text, short mode)
{
    std::wstring t = text;
    if (mode == 1) {
        if (!EndsWithQuote(t) && StartsWithQuote(t)) t += L'"';
        if (EndsWithQuote(t) && !StartsWithQuote(t)) t.insert(t.begin(), L'"');
        return t;
    }
    if (StartsWithQuote(t)) t.erase(t.begin());
    if (EndsWithQuote(t)) t.pop_back();
    return t;
}

std::wstring AddTrailingBackslash(const std::wstring& path)
{
    if (!path.empty() && path.back() == L'\\') return path;
    return path + L'\\';
}

std::wstring CanonicalPath(const std::wstring& path)
{
    const std::string source = ToAnsi(path);
    if (source.size() >= MAX_PATH) return path;  // more than the platform's buffer holds
    const CanonicalizeFn canonicalize = pathCanonicalize.get();
    if (!canonicalize) return path;
    char buffer[MAX_PATH + 1] = {};
    canonicalize(buffer, source.c_str());
    std::wstring result = FromAnsiBuffer(buffer, sizeof buffer);
    return result.empty() ? path : result;
}
