#include "Ini.h"

#include "Ansi.h"
#include "LazyProc.h"
#include "MsgBox.h"

#include <vector>

namespace {
using GetProfileFn = decltype(&GetPrivateProfileStringA);
using WriteProfileFn = decltype(&WritePrivateProfileStringA);

LazyProc<GetProfileFn> getPrivateProfileString("kernel32.dll", "GetPrivateProfileStringA");
LazyProc<WriteProfileFn> writePrivateProfileString("kernel32.dll", "WritePrivateProfileStringA");
}

std::wstring ReadIniValue(const std::wstring& section, const std::wstring& key,
                          const std::wstring& def, const std::wstring& file)
{
    const GetProfileFn get = getPrivateProfileString.get();
    if (!get) return def;
    const std::string s = ToAnsi(section), k = ToAnsi(key), d = ToAnsi(def), f = ToAnsi(file);
    // The platform cuts a value to the buffer and then returns size - 1: a
    // longer buffer is tried until the value fits, so nothing stored is lost.
    for (DWORD size = 256;; size *= 2) {
        std::vector<char> buffer(size, '\0');
        DWORD copied = get(s.c_str(), k.c_str(), d.c_str(), buffer.data(), size, f.c_str());
        if (copied < size - 1 || size >= (1u << 24))
            return FromAnsiBuffer(buffer.data(), buffer.size());
    }
}

bool WriteIniValue(const std::wstring& section, const std::wstring& key,
                   const std::wstring& value, const std::wstring& file, HWND owner)
{
    const WriteProfileFn write = writePrivateProfileString.get();
    const std::string s = ToAnsi(section), k = ToAnsi(key), v = ToAnsi(value), f = ToAnsi(file);
    // No string at all, not an empty one, makes the platform delete the entry.
    const char* text = value.empty() ? nullptr : v.c_str();
    if (write && write(s.c_str(), k.c_str(), text, f.c_str())) return true;
    MsgBox(owner, file + L"\r" + L"への書き込みに失敗しました", MB_ICONEXCLAMATION | MB_OK);
    return false;
}
