#include "Ansi.h"

#include <windows.h>

#include <cstring>

std::string ToAnsi(const std::wstring& text)
{
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                        out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring FromAnsi(const std::string& bytes)
{
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::wstring FromAnsiBuffer(const char* buffer, size_t size)
{
    const void* nul = std::memchr(buffer, 0, size);
    size_t n = nul ? static_cast<const char*>(nul) - buffer : size;
    return FromAnsi(std::string(buffer, n));
}
