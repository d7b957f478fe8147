// DDEML client side: one conversation, requests and executes.
#include "HostLink.h"

#include "Ansi.h"

namespace {
// A client-only conversation needs no callback work of its own.
HDDEDATA CALLBACK DdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}
}

HostLink::~HostLink() { Close(); }

bool HostLink::Open(const std::wstring& service, const std::wstring& topic)
{
    if (DdeInitializeA(&instance_, DdeCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        instance_ = 0;
        return false;
    }
    const std::string s = ToAnsi(service), t = ToAnsi(topic);
    HSZ hszService = DdeCreateStringHandleA(instance_, s.c_str(), CP_WINANSI);
    HSZ hszTopic = DdeCreateStringHandleA(instance_, t.c_str(), CP_WINANSI);
    conversation_ = DdeConnect(instance_, hszService, hszTopic, nullptr);
    DdeFreeStringHandle(instance_, hszService);
    DdeFreeStringHandle(instance_, hszTopic);
    if (!conversation_) Close();
    return conversation_ != nullptr;
}

std::wstring HostLink::Request(const std::wstring& item, DWORD timeoutMs) const
{
    if (!conversation_) return {};
    const std::string i = ToAnsi(item);
    HSZ hszItem = DdeCreateStringHandleA(instance_, i.c_str(), CP_WINANSI);
    HDDEDATA data = DdeClientTransaction(nullptr, 0, conversation_, hszItem, CF_TEXT, XTYP_REQUEST,
                                         timeoutMs, nullptr);
    DdeFreeStringHandle(instance_, hszItem);
    if (!data) return {};
    std::string bytes(DdeGetData(data, nullptr, 0, 0), '\0');
    DdeGetData(data, reinterpret_cast<LPBYTE>(bytes.data()), static_cast<DWORD>(bytes.size()), 0);
    DdeFreeDataHandle(data);
    return FromAnsiBuffer(bytes.data(), bytes.size());
}

bool HostLink::Execute(const std::wstring& text, DWORD timeoutMs) const
{
    if (!conversation_) return false;
    std::string command = ToAnsi(text);
    command.push_back('\0');
    DWORD result = 0;
    HDDEDATA ok = DdeClientTransaction(reinterpret_cast<LPBYTE>(command.data()),
                                       static_cast<DWORD>(command.size()), conversation_, nullptr,
                                       CF_TEXT, XTYP_EXECUTE, timeoutMs, &result);
    return ok != nullptr;
}

void HostLink::Close()
{
    if (conversation_) DdeDisconnect(conversation_);
    conversation_ = nullptr;
    if (instance_) DdeUninitialize(instance_);
    instance_ = 0;
}
