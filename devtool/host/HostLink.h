#pragma once
// A DDE client conversation in the ANSI code page: items requested as text,
// command strings sent as executes.
#include <windows.h>
#include <ddeml.h>

#include <string>

class HostLink {
public:
    HostLink() = default;
    HostLink(const HostLink&) = delete;
    HostLink& operator=(const HostLink&) = delete;
    ~HostLink();

    // Opens the conversation; false when no server answers.
    bool Open(const std::wstring& service, const std::wstring& topic);
    // The item's text, or the empty text when the request fails or times out.
    std::wstring Request(const std::wstring& item, DWORD timeoutMs) const;
    // Sends one execute string; false when the server refuses it or times out.
    bool Execute(const std::wstring& text, DWORD timeoutMs) const;
    void Close();

private:
    DWORD instance_ = 0;
    HCONV conversation_ = nullptr;
};
