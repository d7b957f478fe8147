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

// On the disk before anyone relies on it: a file that replaces another must
// not be left empty by a power cut.
bool FlushAndClose(Handle& file) { return FlushFileBuffers(file.get()) && file.Close(); }

bool WriteAnsiPath(const std::string& path, const std::string& bytes)
{
    Handle file = NewFile(path);
    return file && WriteAll(file.get(), bytes.data(), bytes.size()) && FlushAndClose(file);
}

// `fill` writes the new contents into a new file in the target's folder,
// which then takes the target's place; on any failure the new file goes
// and the target stays as it was.
template <typename Fill>
bool ReplaceWith(const std::wstring& path, Fill fill)
{
    // The folder is cut from the wide text: in the ANSI code page the trail
    // byte of many characters (表, ソ, 能...) is the byte of a backslash.
    const size_t cut = path.find_last_of(L"\\/");
    const std::string folder = cut == std::wstring::npos ? "." : ToAnsi(path.substr(0, cut + 1));
    const std::string target = ToAnsi(path);
    // A read-only file is refused, as a write into it would be; a hidden or
    // system file stays so.
    const DWORD old = GetFileAttributesA(target.c_str());
    const DWORD kept = old == INVALID_FILE_ATTRIBUTES ? 0 : old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY)) return false;
    char temporary[MAX_PATH + 1] = {};
    if (!GetTempFileNameA(folder.c_str(), "new", 0, temporary)) return false;
    if (fill(std::string(temporary)) && (!kept || SetFileAttributesA(temporary, kept)) &&
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
            if (read == 0) return FlushAndClose(file);
            if (!WriteAll(file.get(), buffer.data(), read)) return false;
        }
    });
}
