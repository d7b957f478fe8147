// The shared test support: files, processes, the host stand-in, projects, the
// simulated device and the UI driver's steps.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <stdexcept>
#include <thread>

namespace ts {

namespace {
std::wstring ModuleDir()
{
    wchar_t exe[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH * 4);
    std::wstring path = exe;
    return path.substr(0, path.rfind(L'\\'));
}

void RemoveTree(const std::wstring& dir)
{
    for (const std::wstring& name : Names(dir)) {
        const std::wstring path = dir + L"\\" + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileW(path.c_str())) RemoveTree(path);
    }
    RemoveDirectoryW(dir.c_str());
}

std::string Narrow(const std::wstring& text, UINT codePage)
{
    std::string out(text.size() * 4, '\0');
    out.resize(WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), out.data(), int(out.size()),
                                   nullptr, nullptr));
    return out;
}

std::wstring Widen(const std::string& bytes, UINT codePage)
{
    std::wstring out(bytes.size(), L'\0');
    out.resize(MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), out.data(), int(out.size())));
    return out;
}

std::wstring UniqueName(const wchar_t* prefix)
{
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return std::wstring(temp) + prefix + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(counter++);
}
}  // namespace

std::wstring BinDir() { return ModuleDir() + L"\\..\\bin"; }
std::wstring BinPath(const std::wstring& name) { return BinDir() + L"\\" + name; }

TempDir::TempDir() : path_(UniqueName(L"vtest-"))
{
    if (!CreateDirectoryW(path_.c_str(), nullptr)) throw std::runtime_error("cannot make a scratch folder");
}

TempDir::~TempDir() { RemoveTree(path_); }

std::string ReadBytes(const std::wstring& path)
{
    std::string bytes;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        char buffer[65536];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
        fclose(f);
    }
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) throw std::runtime_error("cannot write a test file");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring Entry(const std::wstring& file, const std::wstring& section, const std::wstring& key)
{
    wchar_t value[4096] = {};
    GetPrivateProfileStringW(section.c_str(), key.c_str(), L"<absent>", value, 4096, file.c_str());
    return value;
}

std::vector<std::wstring> Names(const std::wstring& dir)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

LockedFile::LockedFile(const std::wstring& path)
    : handle_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr))
{
    if (handle_ == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot lock a test file");
}

LockedFile::~LockedFile() { CloseHandle(handle_); }

std::string ToUtf8(const std::wstring& text) { return Narrow(text, CP_UTF8); }
std::wstring FromUtf8(const std::string& bytes) { return Widen(bytes, CP_UTF8); }
std::string ToCp932(const std::wstring& text) { return Narrow(text, 932); }
std::wstring FromCp932(const std::string& bytes) { return Widen(bytes, 932); }

std::wstring Quote(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    return out.append(backslashes * 2, L'\\') + L"\"";
}

ScopedEnv::ScopedEnv(const std::wstring& name, const std::wstring& value) : name_(name)
{
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetEnvironmentVariableW(name.c_str(), buffer.data(), 32768);
    had_ = n > 0 && n < 32768;
    if (had_) old_ = buffer.substr(0, n);
    SetEnvironmentVariableW(name.c_str(), value.c_str());
}

ScopedEnv::~ScopedEnv() { SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr); }

bool WaitUntil(const std::function<bool()>& done, DWORD boundMs)
{
    for (const DWORD start = GetTickCount();; Sleep(20)) {
        if (done()) return true;
        if (GetTickCount() - start >= boundMs) return false;
    }
}

namespace {
BOOL CALLBACK FindVisibleDialog(HWND w, LPARAM found)
{
    wchar_t name[16] = {};
    GetClassNameW(w, name, 16);
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}
}  // namespace

void WhileShown(const std::function<void()>& show, const std::function<void(HWND)>& answer)
{
    const DWORD thread = GetCurrentThreadId();
    std::thread helper([&] {
        HWND dialog = nullptr;
        const bool found = WaitUntil([&] {
            EnumThreadWindows(thread, FindVisibleDialog, reinterpret_cast<LPARAM>(&dialog));
            return dialog != nullptr;
        });
        EXPECT_TRUE(found) << "no dialog appeared";
        if (found) answer(dialog);
    });
    show();
    helper.join();
}

std::wstring BoxText(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[1024] = {}, name[16] = {};
        GetClassNameW(child, name, 16);
        if (std::wstring(name) == L"Static" && GetWindowTextW(child, text, 1024) > 0) return text;
    }
    return {};
}

std::wstring ItemText(HWND dialog, int id)
{
    wchar_t text[1024] = {};
    GetDlgItemTextW(dialog, id, text, 1024);
    return text;
}

Process::Process(const std::wstring& commandLine) : outputFile_(UniqueName(L"vtest-out-"))
{
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE out = CreateFileW(outputFile_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                             CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = out;
    PROCESS_INFORMATION pi = {};
    std::wstring line = commandLine;
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        process_ = pi.hProcess;
        CloseHandle(pi.hThread);
    }
    CloseHandle(out);
}

Process::~Process()
{
    if (process_) {
        TerminateProcess(process_, 259);  // fails harmlessly once it has ended
        WaitForSingleObject(process_, INFINITE);
        CloseHandle(process_);
    }
    DeleteFileW(outputFile_.c_str());
}

ProcessResult Process::Wait(DWORD boundMs)
{
    ProcessResult result;
    result.exitCode = ~0u;
    if (!process_) return result;
    if (WaitForSingleObject(process_, boundMs) == WAIT_TIMEOUT) {
        result.timedOut = true;
        TerminateProcess(process_, 259);
        WaitForSingleObject(process_, INFINITE);
    }
    GetExitCodeProcess(process_, &result.exitCode);
    result.output = ReadBytes(outputFile_);
    return result;
}

ProcessResult Run(const std::wstring& commandLine, DWORD boundMs) { return Process(commandLine).Wait(boundMs); }

ProcessResult Ui(const std::wstring& arguments)
{
    return Run(Quote(BinPath(L"uidriver.exe")) + L" --timeout 30000 " + arguments);
}

bool Step(const std::wstring& arguments)
{
    const ProcessResult run = Ui(arguments);
    if (run.exitCode == 0) return true;
    ADD_FAILURE() << "uidriver " << ToUtf8(arguments) << ": " << run.output;
    return false;
}

bool Wait(const std::wstring& window) { return Step(L"wait " + Quote(window)); }
bool Gone(const std::wstring& window) { return Step(L"gone " + Quote(window)); }
bool Click(const std::wstring& window, const std::wstring& button)
{
    return Step(L"click " + Quote(window) + L" " + Quote(button));
}
bool Select(const std::wstring& window, const std::wstring& option)
{
    return Step(L"select " + Quote(window) + L" " + Quote(option));
}
bool SetEdit(const std::wstring& window, int index, const std::wstring& text)
{
    return Step(L"set-edit " + Quote(window) + L" " + std::to_wstring(index) + L" " + Quote(text));
}

std::wstring Edit(const std::wstring& window, int index)
{
    const ProcessResult run = Ui(L"get-edit " + Quote(window) + L" " + std::to_wstring(index));
    return run.exitCode == 0 ? FromUtf8(run.output) : L"<no edit box>";
}

std::wstring Box(const std::wstring& button)
{
    const ProcessResult run = Ui(L"msgbox --press " + button);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    return FromUtf8(run.output);
}

bool FileDialog(const std::wstring& path, const std::wstring& owner)
{
    return Step(L"file-dialog " + (owner.empty() ? L"" : L"--owner " + Quote(owner) + L" ") +
                (path.empty() ? L"--cancel" : Quote(path)));
}

std::wstring HostResult::Joined() const
{
    std::wstring all;
    for (const auto& e : executes) all += e;
    return all;
}

namespace {
std::wstring HostCommandLine(const HostOptions& o, const std::wstring& log)
{
    std::wstring line = Quote(BinPath(L"hostsim.exe")) + L" --log " + Quote(log);
    if (!o.project.empty()) line += L" --project " + Quote(o.project);
    if (!o.service) line += L" --no-service";
    if (o.refuseExecutes) line += L" --refuse-executes";
    line += L" --args " + Quote(o.args);
    return line + L" -- " + Quote(o.program.find(L'\\') == std::wstring::npos ? BinPath(o.program) : o.program);
}

// The host stand-in's log: one JSON string per line.
std::vector<std::wstring> ParseHostLog(const std::string& utf8)
{
    std::vector<std::wstring> lines;
    for (size_t i = 0, open; (open = utf8.find('"', i)) != std::string::npos;) {
        std::string text;
        size_t j = open + 1;
        for (; j < utf8.size() && utf8[j] != '"'; ++j) {
            if (utf8[j] != '\\') {
                text += utf8[j];
                continue;
            }
            switch (const char e = utf8[++j]) {
            case 'n': text += '\n'; break;
            case 'r': text += '\r'; break;
            case 't': text += '\t'; break;
            case 'b': text += '\b'; break;
            case 'f': text += '\f'; break;
            case 'u':
                text += ToUtf8(std::wstring(1, static_cast<wchar_t>(std::stoul(utf8.substr(j + 1, 4), nullptr, 16))));
                j += 4;
                break;
            default: text += e; break;
            }
        }
        lines.push_back(FromUtf8(text));
        if ((i = utf8.find('\n', j)) == std::string::npos) break;
    }
    return lines;
}
}  // namespace

HostSession::HostSession(const HostOptions& options)
    : log_(dir_ / L"host.log"), process_(HostCommandLine(options, log_))
{
}

HostResult HostSession::Finish()
{
    const ProcessResult run = process_.Wait();
    HostResult result;
    result.exitCode = run.exitCode;
    result.timedOut = run.timedOut;
    result.executes = ParseHostLog(ReadBytes(log_));
    EXPECT_FALSE(result.timedOut) << "the program did not end";
    return result;
}

std::vector<std::wstring> HostSession::ExecutesSoFar() const { return ParseHostLog(ReadBytes(log_)); }

std::vector<std::wstring> Lines(std::initializer_list<std::wstring> lines)
{
    std::vector<std::wstring> out;
    for (const auto& line : lines) out.push_back(line + L"\r\n");
    return out;
}

const wchar_t Project::DefaultText[] =
    L"[MAIN]\r\nPROJECT-NAME=GAME\r\nLANGFILE=piece.slf\r\n[SOURCE]\r\nN=1\r\n1=.\\game.c\r\n";

Project::Project(const std::wstring& sdsText) { WriteBytes(file(), ToCp932(sdsText)); }

std::wstring Project::Read(const std::wstring& section, const std::wstring& key) const
{
    return Entry(file(), section, key);
}

void Project::Write(const std::wstring& section, const std::wstring& key, const std::wstring& value) const
{
    WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file().c_str());
}

HostOptions Project::Host(const std::wstring& args, const std::wstring& program) const
{
    HostOptions options;
    options.project = file();
    options.args = args;
    options.program = program;
    return options;
}

HostResult Project::Run(const std::wstring& args, const std::wstring& program) const
{
    return HostSession(Host(args, program)).Finish();
}

SimDevice::SimDevice() : env_(L"PIECE_SIM_DIR", dir_.path()) {}

void SimDevice::Set(const std::wstring& section, const std::wstring& key, const std::wstring& value) const
{
    WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), (dir_ / L"device.ini").c_str());
}

std::vector<std::string> SimDevice::Calls() const
{
    const std::string log = ReadBytes(dir_ / L"calls.log");
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < log.size(); start = end + 2) {
        if ((end = log.find("\r\n", start)) == std::string::npos) end = log.size();
        lines.push_back(log.substr(start, end - start));
    }
    return lines;
}

void SimDevice::ClearCalls() const { DeleteFileW((dir_ / L"calls.log").c_str()); }

std::wstring LoneCopy(const TempDir& dir, const std::wstring& program)
{
    const std::wstring copy = dir / program;
    CopyFileW(BinPath(program).c_str(), copy.c_str(), FALSE);
    return copy;
}

std::vector<std::string> Bracket(std::initializer_list<std::string> calls)
{
    std::vector<std::string> lines;
    for (const auto& call : calls) lines.insert(lines.end(), {"ismInit", call, "ismExit"});
    return lines;
}

}  // namespace ts
