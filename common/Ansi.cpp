#include "Ansi.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <stdexcept>

namespace {
// The conversion functions count in int: a longer text is refused, not cut.
int PlatformLength(size_t size)
{
    if (size > static_cast<size_t>(INT_MAX)) throw std::length_error("text too long for the platform");
    return static_cast<int>(size);
}
}

std::string ToAnsi(const std::wstring& text)
{
    if (text.empty()) return {};
    // No best fit: a character the code page lacks becomes its default
    // character, never a look-alike. A look-alike can name another file, and
    // in code page 932 the yen sign would become a backslash in a path.
    const int length = PlatformLength(text.size());
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0,
                                nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring FromAnsi(const std::string& bytes)
{
    if (bytes.empty()) return {};
    const int length = PlatformLength(bytes.size());
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, out.data(), n);
    return out;
}

std::wstring FromAnsiBuffer(const char* buffer, size_t size)
{
    const void* nul = std::memchr(buffer, 0, size);
    size_t n = nul ? static_cast<const char*>(nul) - buffer : size;
    return FromAnsi(std::string(buffer, n));
}

bool FitsAnsi(const std::wstring& text)
{
    if (text.empty()) return true;
    BOOL defaulted = FALSE;
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), PlatformLength(text.size()), nullptr,
                               0, nullptr, &defaulted) > 0 &&
           !defaulted;
}
