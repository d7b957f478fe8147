// What the stand-ins (host, packer, device library) and the window driver all
// need from the system: one owner for kernel handles, whole files, text in a
// given code page, the environment, and named events shared with a test.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace sim {

// Owns one kernel handle; INVALID_HANDLE_VALUE counts as none.
class Handle {
public:
    explicit Handle(HANDLE h = nullptr) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~Handle() { if (h_) CloseHandle(h_); }
    Handle(Handle&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
    Handle& operator=(Handle&& other) noexcept;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
private:
    HANDLE h_;
};

const UINT CodePage932 = 932;

std::string ToCodePage(UINT codePage, const std::wstring& text);
std::wstring FromCodePage(UINT codePage, const char* bytes, size_t size);
std::wstring FromCodePage(UINT codePage, const std::string& bytes);

// WriteFile until every byte is out: no C runtime buffering to flush and no
// CRLF translation. False when the handle is none or refuses a byte.
bool WriteAll(HANDLE to, const char* data, size_t size);
bool WriteAll(HANDLE to, const std::string& bytes);

bool ReadWhole(const std::wstring& path, std::string& data);
// Replaces the file; one that could not be written whole is removed.
bool WriteWhole(const std::wstring& path, const std::string& data);
// Adds to the end of the file, which is made when missing.
bool AppendWhole(const std::wstring& path, const std::string& data);

// A variable set to the empty text is there, with the empty text.
std::optional<std::wstring> EnvText(const wchar_t* name);
// Decimal; the fallback when the variable is not set.
unsigned long long EnvNumber(const wchar_t* name, unsigned long long fallback);

// A manual-reset event known by name to a test and a stand-in: whichever
// opens it first makes it, so neither side has to start first.
Handle NamedEvent(const std::wstring& name);
// Sets the event; the handle keeps it alive until the caller lets it go.
Handle SetNamedEvent(const std::wstring& name);
// True once the event is set, false when boundMs passed first (or no event).
bool WaitNamedEvent(const std::wstring& name, DWORD boundMs);

} // namespace sim
