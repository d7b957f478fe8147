// consolebench: the figures of the console tool runner. Started by hostsim.exe
// in place of the device tool, so that every execute goes to a real host over
// DDE:
//
//   consolebench runner SIZE RESULTS   RunConsoleTool on the stand-in packer
//                                      writing SIZE bytes; time to the last execute
//   consolebench alone SIZE RESULTS    the same with the texts dropped: the
//                                      pipe and the conversions without the host
//   consolebench floor SIZE RESULTS    the same packer into a file, then a bare
//                                      DDE client sending the file in 4094-byte
//                                      executes (and the closing "" and "\r\n")
//   consolebench latency LOG RESULTS   RunConsoleTool on "consolebench emit": for
//                                      every line, the time from its write to its
//                                      line in the host's LOG
//   consolebench emit COUNT PAUSE      the tool for latency: COUNT lines holding
//                                      the time of their write, PAUSE ms apart
//
// RESULTS gets one line of "name value" pairs, appended. Times are milliseconds.
#include "ConsoleTool.h"
#include "Form1.h"
#include "Handle.h"

#include <windows.h>
#include <ddeml.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

double Now()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

// False, said on standard error, when the line did not reach RESULTS: the
// figures would be missing from the table without a word.
bool Append(const std::wstring& file, const std::string& line)
{
    FILE* f = _wfopen(file.c_str(), L"ab");
    bool written = f && std::fputs((line + "\n").c_str(), f) >= 0;
    if (f && std::fclose(f) != 0) written = false;
    // NOLINTNEXTLINE(cert-err33-c): standard error is the only channel left
    if (!written) std::fputs("consolebench: the results file could not be written\n", stderr);
    return written;
}

std::string Fixed(double value)
{
    std::ostringstream text;
    text << std::fixed << std::setprecision(1) << value;
    return text.str();
}

// The packer in its raw mode writes exactly SIZE bytes of numbered lines.
void PackerWrites(const std::wstring& size)
{
    SetEnvironmentVariableW(L"PPACK_SIM_TEXT", L"");
    SetEnvironmentVariableW(L"PPACK_SIM_EXTRA", size.c_str());
}

const wchar_t PackerLine[] = L"PPACK.EXE -e game.srf -ogame.pex -nGAME";

int Runner(const std::wstring& size, const std::wstring& results, bool alone)
{
    PackerWrites(size);
    if (!alone) Form1::Instance().Form_Load();
    const double start = Now();
    const ConsoleToolResult run = alone ? RunConsoleTool(L"", PackerLine, ToolExitWaitMs, [](const std::wstring&) {})
                                        : RunConsoleTool(L"", PackerLine);
    const double elapsed = Now() - start;
    if (!alone) Form1::Instance().Unload();
    const bool appended = Append(results, std::string(alone ? "alone_ms " : "runner_ms ") + Fixed(elapsed) +
                                              " exit " + std::to_string(run.exitCode));
    return appended && run.Succeeded() ? 0 : 1;
}

HDDEDATA CALLBACK NoCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

int Floor(const std::wstring& size, const std::wstring& results)
{
    PackerWrites(size);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring file = std::wstring(temp) + L"consolebench-" + std::to_wstring(GetCurrentProcessId()) + L".txt";

    // The tool alone, its output into a file.
    const double toolStart = Now();
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    Handle out(CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = out.get();
    startup.hStdError = out.get();
    PROCESS_INFORMATION info = {};
    std::wstring line = PackerLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return 1;
    out.Close();
    const Handle process(info.hProcess), thread(info.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    const double toolMs = Now() - toolStart;

    std::string bytes;
    if (FILE* f = _wfopen(file.c_str(), L"rb")) {
        char block[65536];
        for (size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) bytes.append(block, n);
        std::fclose(f);  // NOLINT(cert-err33-c): read only, nothing to lose
    }
    DeleteFileW(file.c_str());

    // A bare client: the bytes as they are, 4094 to an execute.
    DWORD instance = 0;
    DdeInitializeA(&instance, NoCallback, APPCMD_CLIENTONLY, 0);
    HSZ service = DdeCreateStringHandleA(instance, "Quandrix", CP_WINANSI);
    HSZ topic = DdeCreateStringHandleA(instance, "system", CP_WINANSI);
    HCONV conversation = DdeConnect(instance, service, topic, nullptr);
    if (!conversation) return 1;
    const double sendStart = Now();
    auto send = [&](const std::string& text) {
        std::string command = text;
        command.push_back('\0');
        DWORD result = 0;
        DdeClientTransaction(reinterpret_cast<LPBYTE>(command.data()), static_cast<DWORD>(command.size()),
                             conversation, nullptr, CF_TEXT, XTYP_EXECUTE, 5000, &result);
    };
    for (size_t at = 0; at < bytes.size(); at += 4094) send(bytes.substr(at, 4094));
    send("");
    send("\r\n");
    const double sendMs = Now() - sendStart;
    DdeDisconnect(conversation);
    DdeFreeStringHandle(instance, service);
    DdeFreeStringHandle(instance, topic);
    DdeUninitialize(instance);

    return Append(results, "tool_ms " + Fixed(toolMs) + " dde_ms " + Fixed(sendMs) + " bytes " +
                               std::to_string(bytes.size()))
               ? 0
               : 1;
}

int Emit(int count, int pauseMs)
{
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    for (int i = 0; i < count; ++i) {
        if (i) Sleep(pauseMs);
        const std::string line = "t=" + Fixed(Now()) + "\r\n";
        DWORD put = 0;
        WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &put, nullptr);
    }
    return 0;
}

int Latency(const std::wstring& log, const std::wstring& results)
{
    const int count = 20;
    Form1::Instance().Form_Load();
    std::vector<double> delays;
    std::atomic<bool> done{false};
    // The host logs every execute as it arrives; a watcher sees each stamped
    // line appear.
    std::thread watcher([&] {
        size_t seen = 0;
        std::string text;
        while (!done) {
            // Read on from where the last look stopped; read again from the
            // start, every line would count twice.
            if (FILE* f = _wfopen(log.c_str(), L"rb")) {
                char block[4096];
                if (std::fseek(f, static_cast<long>(text.size()), SEEK_SET) == 0)
                    for (size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) text.append(block, n);
                std::fclose(f);  // NOLINT(cert-err33-c): read only, nothing to lose
            }
            const double now = Now();
            for (size_t at; (at = text.find("t=", seen)) != std::string::npos;) {
                delays.push_back(now - std::strtod(text.c_str() + at + 2, nullptr));
                seen = at + 2;
            }
            Sleep(1);
        }
    });
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    RunConsoleTool(L"", L"\"" + std::wstring(self) + L"\" emit " + std::to_wstring(count) + L" 100");
    Sleep(50);
    done = true;
    watcher.join();
    Form1::Instance().Unload();
    if (delays.empty()) return 1;
    std::sort(delays.begin(), delays.end());
    return Append(results, "lines " + std::to_string(delays.size()) + " median_ms " +
                               Fixed(delays[delays.size() / 2]) + " max_ms " + Fixed(delays.back()))
               ? 0
               : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.size() == 3 && (args[0] == L"runner" || args[0] == L"alone")) return Runner(args[1], args[2], args[0] == L"alone");
    if (args.size() == 3 && args[0] == L"floor") return Floor(args[1], args[2]);
    if (args.size() == 3 && args[0] == L"latency") return Latency(args[1], args[2]);
    if (args.size() == 3 && args[0] == L"emit") return Emit(std::stoi(args[1]), std::stoi(args[2]));
    // NOLINTNEXTLINE(cert-err33-c): standard error is the only channel left
    std::fputs("usage: consolebench runner|alone|floor SIZE RESULTS | latency LOG RESULTS | emit COUNT PAUSE\n", stderr);
    return 2;
}
