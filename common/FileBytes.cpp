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
    return file.Close();
}
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    return WriteAnsiPath(ToAnsi(path), bytes);
}

bool ReplaceFileBytes(const std::wstring& path, const std::string& bytes)
{
    const std::string target = ToAnsi(path);
    const size_t cut = target.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? "." : target.substr(0, cut + 1);
    char temporary[MAX_PATH + 1] = {};
    if (!GetTempFileNameA(folder.c_str(), "new", 0, temporary)) return false;
    if (WriteAnsiPath(temporary, bytes) &&
        MoveFileExA(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary);
    return false;
}
