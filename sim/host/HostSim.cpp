// hostsim: stands in for the host IDE "Quandrix" in tests. It serves the DDE
// topic "system" of service "Quandrix" while one program runs, answers the
// request for "projectFileName" and shows every execute, in order, on stdout
// (and in a log that keeps the execute boundaries). It takes one conversation,
// the first: where tests run several programs at once, each through a host of
// its own started after the last program connected, no program reaches
// another's host.
//
// Options (the usage text in HostText.cpp says the same to a user):
//   --project PATH           the answer to the request (ANSI code page)
//   --no-service             no DDE service at all
//   --refuse-executes        every execute answered "not processed", none recorded
//   --fail-request           the request answered at once with no data
//   --block-request          the request held (CBR_BLOCK) and never enabled again,
//                            so the program's own request timeout ends it; later
//                            executes are served as usual
//   --block-executes-from N  the N-th execute (1 = the first) and every later one
//                            are recorded, then held (CBR_BLOCK) and never
//                            acknowledged, so the program's execute timeout
//                            fires for each. Wine's DDEML client takes a stale
//                            acknowledgement after an answered request for its
//                            next execute when it does not dispatch messages in
//                            between; such a program sees the (N+1)-th time out.
//   --log FILE               one JSON string per recorded execute, one a line
//   --args TEXT              the program's arguments, as given

#include <windows.h>
#include <ddeml.h>

#include <optional>
#include <string>
#include <vector>

#include "HostText.h"
#include "SimSupport.h"

namespace {

void Complain(const std::wstring& text)
{
    sim::WriteAll(GetStdHandle(STD_ERROR_HANDLE), sim::ToCodePage(CP_UTF8, L"hostsim: " + text + L"\n"));
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
    HostService(const HostOptions& options, HANDLE out, HANDLE log);
    ~HostService();
    HostService(const HostService&) = delete;
    HostService& operator=(const HostService&) = delete;
    bool running() const { return registered_; }

private:
    static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2,
                                      HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);
    HDDEDATA Request(HSZ topic, HSZ item, UINT format);
    HDDEDATA Execute(HDDEDATA data);

    static HostService* current_;
    const HostOptions& options_;
    DWORD instance_ = 0;
    HSZ service_ = nullptr, topic_ = nullptr, item_ = nullptr;
    bool registered_ = false;
    unsigned long executes_ = 0;
    bool connected_ = false;
    std::string projectAnsi_;
    HANDLE out_, log_;
};

HostService* HostService::current_ = nullptr;

// DDEML callbacks give flags and booleans as data handles.
HDDEDATA Result(UINT_PTR value) { return reinterpret_cast<HDDEDATA>(value); }

HostService::HostService(const HostOptions& options, HANDLE out, HANDLE log)
    : options_(options), projectAnsi_(sim::ToCodePage(CP_ACP, options.project)), out_(out), log_(log)
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
        if (self.connected_) return Result(FALSE);
        self.connected_ = DdeCmpStringHandles(hsz1, self.topic_) == 0 && DdeCmpStringHandles(hsz2, self.service_) == 0;
        return Result(self.connected_);
    case XTYP_REQUEST:
        return self.Request(hsz1, hsz2, format);
    case XTYP_EXECUTE:
        if (self.options_.refuseExecutes) return Result(DDE_FNOTPROCESSED);
        return self.Execute(data);
    default:
        return nullptr;
    }
}

HDDEDATA HostService::Request(HSZ topic, HSZ item, UINT format)
{
    if (format != CF_TEXT || DdeCmpStringHandles(topic, topic_) != 0 ||
        DdeCmpStringHandles(item, item_) != 0 || options_.failRequest)
        return nullptr;
    // A held transaction is never enabled again: the client gives up on its own
    // clock, so a test of its timeout needs no waiting here.
    if (options_.blockRequest) return CBR_BLOCK;
    auto bytes = reinterpret_cast<BYTE*>(const_cast<char*>(projectAnsi_.c_str()));
    return DdeCreateDataHandle(instance_, bytes, static_cast<DWORD>(projectAnsi_.size()) + 1, 0,
                               item_, CF_TEXT, 0);
}

HDDEDATA HostService::Execute(HDDEDATA data)
{
    std::wstring text;
    DWORD size = 0;
    if (const BYTE* bytes = data ? DdeAccessData(data, &size) : nullptr) {
        // The command string ends at its NUL; the data block may be longer.
        DWORD length = 0;
        while (length < size && bytes[length]) ++length;
        text = sim::FromCodePage(CP_ACP, reinterpret_cast<const char*>(bytes), length);
        DdeUnaccessData(data);
    }
    sim::WriteAll(out_, sim::ToCodePage(CP_UTF8, text));
    sim::WriteAll(log_, sim::ToCodePage(CP_UTF8, JsonString(text)) + "\n");
    ++executes_;
    if (options_.blockExecutesFrom && executes_ >= options_.blockExecutesFrom) return CBR_BLOCK;
    return Result(DDE_FACK);
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
        sim::WriteAll(GetStdHandle(STD_ERROR_HANDLE), sim::ToCodePage(CP_UTF8, HostUsage));
        return 2;
    }

    sim::Handle log(options.logFile.empty()
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
        service.emplace(options, GetStdHandle(STD_OUTPUT_HANDLE), log.get());
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
    sim::Handle thread(info.hThread);
    sim::Handle process(info.hProcess);
    return static_cast<int>(ServeUntilExit(process.get()));
}
