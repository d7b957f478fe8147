// The recording's temporary file, deleted by the platform when it is closed.
#include "Recording.h"

#include "FileBytes.h"

#include <windows.h>

namespace {
Handle TemporaryFile()
{
    char folder[MAX_PATH + 1] = {};
    char name[MAX_PATH + 1] = {};
    if (!GetTempPathA(MAX_PATH + 1, folder) || !GetTempFileNameA(folder, "rec", 0, name)) return Handle();
    Handle file(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file) DeleteFileA(name);
    return file;
}
}

Recording::Recording(int width, int height)
    : file_(TemporaryFile()),
      gif_(width, height, [this](const std::string& bytes) { return Write(bytes); },
           [this](std::uint64_t length) { return Cut(length); })
{
}

bool Recording::Write(const std::string& bytes)
{
    DWORD written = 0;
    return WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool Recording::Cut(std::uint64_t length)
{
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(length);
    return SetFilePointerEx(file_.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file_.get());
}

bool Recording::Add(const GreyFrame& frame, long long ms) { return gif_.Add(frame, ms); }

bool Recording::Finish(long long ms) { return gif_.Finish(ms); }

bool Recording::SaveAs(const std::wstring& path) const { return ReplaceFileFrom(path, file_.get()); }
