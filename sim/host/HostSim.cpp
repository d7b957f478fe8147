// hostsim: stands in for the host IDE "Quandrix" in tests. It serves the DDE
// topic "system" of service "Quandrix" while one program runs, answers the
// request for "projectFileName" and shows every execute, in order, on stdout
// (and in a log that keeps the execute boundaries).

#include <windows.h>
#include <ddeml.h>

#include <optional>
#include <string>
#include <vector>

#include "HostText.h"

namespace {

class Handle {
public:
    explicit Handle(HANDLE h = nullptr) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~Handle() { if (h_) CloseHandle(h_); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
private:
    HANDLE h_;
};

std::wstring FromCodePage(UINT codePage, const char* bytes, int size)
{
    if (size <= 0) return {};
    std::wstring text(MultiByteToWideChar(codePage, 0, bytes, size, nullptr, 0), L'\0');
    MultiByteToWideChar(codePage, 0, bytes, size, &text[0], static_cast<int>(text.size()));
    return text;
}

std::string ToCodePage(UINT codePage, const std::wstring& text)
{
    if (text.empty()) return {};
    const int n = static_cast<int>(text.size());
    std::string bytes(WideCharToMultiByte(codePage, 0, text.c_str(), n, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(codePage, 0, text.c_str(), n, &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr);
    return bytes;
}

// WriteFile rather than the C runtime: no buffering to flush and no CRLF translation.
void WriteBytes(HANDLE to, const std::string& bytes)
{
    DWORD written;
    if (to && !bytes.empty()) WriteFile(to, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void Complain(const std::wstring& text)
{
    WriteBytes(GetStdHandle(STD_ERROR_HANDLE), ToCodePage(CP_UTF8, L"hostsim: " + text + L"\n"));
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Tests run "hostsim -- VORTALIS0.exe" from anywhere: a bare name that is not
// in the current folder is taken from beside hostsim.exe.
std::wstring ResolveProgram(const std::wstring& program)
{
    std::wstring path = program;
    if (!FileExists(path) && program.find_first_of(L"\\/:") == std::wstring::npos) {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring beside = self;
        beside.erase(beside.find_last_of(L'\\') + 1);
        beside += program;
        if (FileExists(beside)) path = beside;
    }
    wchar_t full[MAX_PATH] = {};
    return GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr) ? full : path;
}

// The DDE server side of the host. DDEML callbacks carry no context, so the
// one instance is reached through a file-level pointer.
class HostService {
public:
    HostService(const std::wstring& project, bool refuseExecutes, HANDLE out, HANDLE log);
    ~HostService();
    HostService(const HostService&) = delete;
    HostService& operator=(const HostService&) = delete;
    bool running() const { return registered_; }

private:
    static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2,
                                      HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);
    HDDEDATA Request(HSZ topic, HSZ item, UINT format);
    void Execute(HDDEDATA data);

    static HostService* current_;
    DWORD instance_ = 0;
    HSZ service_ = nullptr, topic_ = nullptr, item_ = nullptr;
    bool registered_ = false;
    bool refuseExecutes_;
    std::string projectAnsi_;
    HANDLE out_, log_;
};

HostService* HostService::current_ = nullptr;

HostService::HostService(const std::wstring& project, bool refuseExecutes, HANDLE out, HANDLE log)
    : refuseExecutes_(refuseExecutes), projectAnsi_(ToCodePage(CP_ACP, project)), out_(out), log_(log)
{
    current_ = this;
    const DWORD flags = APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES |
                        CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS |
                        CBF_SKIP_CONNECT_CONFIRMS | CBF_SKIP_DISCONNECTS;
    if (DdeInitializeA(&instance_, Callback, flags, 0) != DMLERR_NO_ERROR) {
        instance_ = 0;
        return;
    }
    service_ = DdeCreateStringHandleA(instance_, "Quandrix", CP_WINANSI);
    topic_ = DdeCreateStringHandleA(instance_, "system", CP_WINANSI);
    item_ = DdeCreateStringHandleA(instance_, "projectFileName", CP_WINANSI);
    registered_ = service_ && topic_ && item_ &&
                  DdeNameService(instance_, service_, nullptr, DNS_REGISTER) != nullptr;
}

HostService::~HostService()
{
    if (instance_) {
        if (registered_) DdeNameService(instance_, service_, nullptr, DNS_UNREGISTER);
        for (HSZ hsz : {service_, topic_, item_})
            if (hsz) DdeFreeStringHandle(instance_, hsz);
        DdeUninitialize(instance_);
    }
    current_ = nullptr;
}

HDDEDATA CALLBACK HostService::Callback(UINT type, UINT format, HCONV, HSZ hsz1, HSZ hsz2,
                                        HDDEDATA data, ULONG_PTR, ULONG_PTR)
{
    HostService& self = *current_;
    switch (type) {
    case XTYP_CONNECT:
        return reinterpret_cast<HDDEDATA>(static_cast<UINT_PTR>(
            DdeCmpStringHandles(hsz1, self.topic_) == 0 &&
            DdeCmpStringHandles(hsz2, self.service_) == 0));
    case XTYP_REQUEST:
        return self.Request(hsz1, hsz2, format);
    case XTYP_EXECUTE:
        if (self.refuseExecutes_) return reinterpret_cast<HDDEDATA>(static_cast<UINT_PTR>(DDE_FNOTPROCESSED));
        self.Execute(data);
        return reinterpret_cast<HDDEDATA>(static_cast<UINT_PTR>(DDE_FACK));
    default:
        return nullptr;
    }
}

HDDEDATA HostService::Request(HSZ topic, HSZ item, UINT format)
{
    if (format != CF_TEXT || DdeCmpStringHandles(topic, topic_) != 0 ||
        DdeCmpStringHandles(item, item_) != 0)
        return nullptr;
    auto bytes = reinterpret_cast<BYTE*>(const_cast<char*>(projectAnsi_.c_str()));
    return DdeCreateDataHandle(instance_, bytes, static_cast<DWORD>(projectAnsi_.size() + 1), 0,
                               item_, CF_TEXT, 0);
}

void HostService::Execute(HDDEDATA data)
{
    std::wstring text;
    DWORD size = 0;
    if (const BYTE* bytes = data ? DdeAccessData(data, &size) : nullptr) {
        // The command string ends at its NUL; the data block may be longer.
        DWORD length = 0;
        while (length < size && bytes[length]) ++length;
        text = FromCodePage(CP_ACP, reinterpret_cast<const char*>(bytes), static_cast<int>(length));
        DdeUnaccessData(data);
    }
    WriteBytes(out_, ToCodePage(CP_UTF8, text));
    WriteBytes(log_, ToCodePage(CP_UTF8, JsonString(text)) + "\n");
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Serves DDE until the program ends. Waiting on messages and the process
// together keeps one execute well under a millisecond.
DWORD ServeUntilExit(HANDLE process)
{
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1) break;
        PumpMessages();
    }
    PumpMessages();
    DWORD code = 0;
    WaitForSingleObject(process, INFINITE);
    GetExitCodeProcess(process, &code);
    return code;
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    HostOptions options;
    if (!ParseHostArgs(std::vector<std::wstring>(argv + 1, argv + argc), options)) {
        WriteBytes(GetStdHandle(STD_ERROR_HANDLE), ToCodePage(CP_UTF8, HostUsage));
        return 2;
    }

    Handle log(options.logFile.empty()
                   ? nullptr
                   : CreateFileW(options.logFile.c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!options.logFile.empty() && !log) {
        Complain(L"cannot create log file " + options.logFile);
        return 2;
    }

    // Lives to the end of wmain: the service is withdrawn after the last message.
    std::optional<HostService> service;
    if (options.service) {
        service.emplace(options.project, options.refuseExecutes, GetStdHandle(STD_OUTPUT_HANDLE), log.get());
        if (!service->running()) {
            Complain(L"cannot register DDE service \"Quandrix\"");
            return 3;
        }
    }

    const std::wstring program = ResolveProgram(options.program);
    std::wstring commandLine = ChildCommandLine(program, options.args);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        Complain(L"cannot start " + program + L" (error " + std::to_wstring(GetLastError()) + L")");
        return 127;
    }
    Handle thread(info.hThread);
    Handle process(info.hProcess);
    return static_cast<int>(ServeUntilExit(process.get()));
}
