#include "PubFnc.h"

#include "Ansi.h"
#include "LazyProc.h"
#include "PathConv.h"

#include <shlwapi.h>

#include <cwchar>
#include <vector>

namespace {
using RelativePathFn = decltype(&PathRelativePathToA);
LazyProc<RelativePathFn> pathRelativePathTo("shlwapi.dll", "PathRelativePathToA");
}

std::optional<FileVersion> ReadFileVersion(const std::wstring& path)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0) return std::nullopt;
    std::vector<char> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(path.c_str(), 0, size, info.data()) ||
        !VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed)
        return std::nullopt;

    FileVersion version = {{}, {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                                HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)}};
    struct Translation { WORD language, codePage; }* translation = nullptr;
    if (VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                       reinterpret_cast<void**>(&translation), &length) && length >= sizeof(Translation)) {
        wchar_t key[64];
        wchar_t* value = nullptr;
        if (swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\ProductName", translation->language,
                     translation->codePage) > 0 &&
            VerQueryValueW(info.data(), key, reinterpret_cast<void**>(&value), &length) && value)
            version.product = value;
    }
    return version;
}

std::wstring VersionCaptionText()
{
    wchar_t exe[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH * 4);
    const std::optional<FileVersion> version = ReadFileVersion(exe);
    if (!version) return {};
    return version->product + L" Ver " + std::to_wstring(version->parts[0]) + L"." +
           std::to_wstring(version->parts[1]);
}

void SetVersionCaption(HWND window)
{
    SetWindowTextW(window, VersionCaptionText().c_str());
}

std::array<std::wstring, 2> SplitPath(const std::wstring& path)
{
    size_t cut = path.rfind(L'\\');
    if (cut == std::wstring::npos) return {L"", QuotePath(path, 0)};
    return {QuotePath(path.substr(0, cut), 0), QuotePath(path.substr(cut + 1), 0)};
}

std::wstring StripExtension(const std::wstring& text)
{
    size_t dot = text.rfind(L'.');
    if (dot == std::wstring::npos) return text;
    return QuotePath(text.substr(0, dot), 0);
}

std::wstring FileExtension(const std::wstring& path)
{
    const size_t dot = path.find_last_of(L"\\/.");
    return dot != std::wstring::npos && path[dot] == L'.' ? path.substr(dot) : std::wstring();
}

std::wstring TrimTrailingBackslash(const std::wstring& path)
{
    if (!path.empty() && path.back() == L'\\') return path.substr(0, path.size() - 1);
    return path;
}

std::wstring RelativePath(const std::wstring& target, const std::wstring& base)
{
    const std::string to = ToAnsi(target), from = ToAnsi(base);
    // The platform writes up to MAX_PATH bytes and cannot express a longer
    // path; such a path has no relative form here.
    if (to.size() >= MAX_PATH || from.size() >= MAX_PATH) return {};
    const RelativePathFn relative = pathRelativePathTo.get();
    if (!relative) return {};
    char buffer[MAX_PATH + 1] = {};
    relative(buffer, from.c_str(), FILE_ATTRIBUTE_DIRECTORY, to.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    return FromAnsiBuffer(buffer, sizeof buffer);
}
