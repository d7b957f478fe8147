#pragma once
// The DDE conversation with the host IDE, in the ANSI code page. The host shows
// every execute string as display text, in the order of arrival.
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
    // Sends one execute string; false when the host refuses it or times out.
    bool Execute(const std::wstring& text, DWORD timeoutMs) const;
    void Close();

private:
    DWORD instance_ = 0;
    HCONV conversation_ = nullptr;
};

// Sends `text`, unchanged, to the host as one execute; callers put the "\r\n"
// in themselves. Nothing is sent when there is no conversation.
void HostMessage(const std::wstring& text);
