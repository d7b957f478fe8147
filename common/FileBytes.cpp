#include "FileBytes.h"

#include "Ansi.h"
#include "Handle.h"

#include <windows.h>

#include <algorithm>

namespace {
bool WriteAnsiPath(const std::string& path, const std::string& bytes)
{
    Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    // WriteFile counts in 32 bits: larger contents go in several writes.
    for (size_t done = 0; done < bytes.size();) {
        const DWORD part = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, part, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    // On the disk before anyone relies on it: a file that replaces another
    // must not be left empty by a power cut.
    return FlushFileBuffers(file.get()) && file.Close();
}
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    return WriteAnsiPath(ToAnsi(path), bytes);
}

bool ReplaceFileBytes(const std::wstring& path, const std::string& bytes)
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
    if (WriteAnsiPath(temporary, bytes) && (!kept || SetFileAttributesA(temporary, kept)) &&
        MoveFileExA(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary);
    return false;
}
