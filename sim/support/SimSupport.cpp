// The system calls behind the stand-ins' shared helpers.
#include "SimSupport.h"

#include <cwchar>

namespace sim {

Handle& Handle::operator=(Handle&& other) noexcept
{
    if (this != &other) {
        if (h_) CloseHandle(h_);
        h_ = other.h_;
        other.h_ = nullptr;
    }
    return *this;
}

std::string ToCodePage(UINT codePage, const std::wstring& text)
{
    if (text.empty()) return {};
    const int n = static_cast<int>(text.size());
    std::string bytes(WideCharToMultiByte(codePage, 0, text.data(), n, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), n, &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr);
    return bytes;
}

std::wstring FromCodePage(UINT codePage, const char* bytes, size_t size)
{
    if (size == 0) return {};
    const int n = static_cast<int>(size);
    std::wstring text(MultiByteToWideChar(codePage, 0, bytes, n, nullptr, 0), L'\0');
    MultiByteToWideChar(codePage, 0, bytes, n, &text[0], static_cast<int>(text.size()));
    return text;
}

std::wstring FromCodePage(UINT codePage, const std::string& bytes)
{
    return FromCodePage(codePage, bytes.data(), bytes.size());
}

bool WriteAll(HANDLE to, const char* data, size_t size)
{
    if (!to || to == INVALID_HANDLE_VALUE) return false;
    while (size > 0) {
        DWORD put = 0;
        if (!WriteFile(to, data, static_cast<DWORD>(size), &put, nullptr) || put == 0) return false;
        data += put;
        size -= put;
    }
    return true;
}

bool WriteAll(HANDLE to, const std::string& bytes)
{
    return WriteAll(to, bytes.data(), bytes.size());
}

bool ReadWhole(const std::wstring& path, std::string& data)
{
    // Shares writing: a log is read while the program that writes it runs.
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    data.clear();
    char block[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file.get(), block, sizeof block, &got, nullptr) != FALSE) && got > 0)
        data.append(block, got);
    return ok;
}

bool WriteWhole(const std::wstring& path, const std::string& data)
{
    bool ok;
    {
        Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        ok = WriteAll(file.get(), data);
    }
    if (!ok) DeleteFileW(path.c_str());
    return ok;
}

bool AppendWhole(const std::wstring& path, const std::string& data)
{
    Handle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAll(file.get(), data);
}

std::optional<std::wstring> EnvText(const wchar_t* name)
{
    const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return std::nullopt;
    std::wstring value(n, L'\0');
    value.resize(GetEnvironmentVariableW(name, &value[0], n));
    return value;
}

unsigned long long EnvNumber(const wchar_t* name, unsigned long long fallback)
{
    const std::optional<std::wstring> value = EnvText(name);
    return value ? std::wcstoull(value->c_str(), nullptr, 10) : fallback;
}

Handle NamedEvent(const std::wstring& name)
{
    return Handle(CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
}

Handle SetNamedEvent(const std::wstring& name)
{
    Handle event = NamedEvent(name);
    if (event) SetEvent(event.get());
    return event;
}

bool WaitNamedEvent(const std::wstring& name, DWORD boundMs)
{
    const Handle event = NamedEvent(name);
    return event && WaitForSingleObject(event.get(), boundMs) == WAIT_OBJECT_0;
}

} // namespace sim
