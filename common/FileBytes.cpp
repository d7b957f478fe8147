#include "FileBytes.h"

#include "Ansi.h"
#include "Handle.h"

#include <windows.h>

#include <algorithm>

namespace {
bool WriteAll(HANDLE file, const char* data, size_t size)
{
    // WriteFile counts in 32 bits: larger contents go in several writes.
    for (size_t done = 0; done < size;) {
        const DWORD part = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, data + done, part, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

Handle NewFile(const std::string& path)
{
    return Handle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool WriteAnsiPath(const std::string& path, const std::string& bytes)
{
    Handle file = NewFile(path);
    return file && WriteAll(file.get(), bytes.data(), bytes.size()) && file.Close();
}

// `fill` writes the new contents into a new file in the target's folder,
// which then takes the target's place; on any failure the new file goes
// and the target stays as it was.
template <typename Fill>
bool ReplaceWith(const std::wstring& path, Fill fill)
{
    const std::string target = ToAnsi(path);
    const size_t cut = target.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? "." : target.substr(0, cut + 1);
    char temporary[MAX_PATH + 1] = {};
    if (!GetTempFileNameA(folder.c_str(), "new", 0, temporary)) return false;
    if (fill(std::string(temporary)) &&
        MoveFileExA(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary);
    return false;
}
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    return WriteAnsiPath(ToAnsi(path), bytes);
}

bool ReplaceFileBytes(const std::wstring& path, const std::string& bytes)
{
    return ReplaceWith(path, [&](const std::string& temporary) { return WriteAnsiPath(temporary, bytes); });
}

bool ReplaceFileFrom(const std::wstring& path, HANDLE source)
{
    return ReplaceWith(path, [&](const std::string& temporary) {
        LARGE_INTEGER start = {};
        Handle file = NewFile(temporary);
        if (!file || !SetFilePointerEx(source, start, nullptr, FILE_BEGIN)) return false;
        std::string buffer(1 << 16, '\0');
        for (DWORD read = 0;;) {
            if (!ReadFile(source, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) return false;
            if (read == 0) return file.Close();
            if (!WriteAll(file.get(), buffer.data(), read)) return false;
        }
    });
}
