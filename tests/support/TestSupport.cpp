#include "TestSupport.h"

#include <atomic>
#include <cstdio>
#include <stdexcept>

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
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = dir + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    SetFileAttributesW(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(dir.c_str());
}

std::string Convert(const std::wstring& text, UINT codePage)
{
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Convert(const std::string& bytes, UINT codePage)
{
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), out.data(), n);
    return out;
}
}  // namespace

std::wstring BinDir() { return ModuleDir() + L"\\..\\bin"; }
std::wstring BinPath(const std::wstring& name) { return BinDir() + L"\\" + name; }

TempDir::TempDir()
{
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = std::wstring(temp) + L"vtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(counter++);
    if (!CreateDirectoryW(path_.c_str(), nullptr)) throw std::runtime_error("cannot make a scratch folder");
}

TempDir::~TempDir() { RemoveTree(path_); }

std::wstring TempDir::operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

std::string ReadBytes(const std::wstring& path)
{
    std::string bytes;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return bytes;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    fclose(f);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) throw std::runtime_error("cannot write a test file");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeReadOnly(const std::wstring& path, bool readOnly)
{
    SetFileAttributesW(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

LockedFile::LockedFile(const std::wstring& path)
    : handle_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr))
{
    if (handle_ == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot lock a test file");
}

LockedFile::~LockedFile() { CloseHandle(handle_); }

std::string ToUtf8(const std::wstring& text) { return Convert(text, CP_UTF8); }
std::wstring FromUtf8(const std::string& bytes) { return Convert(bytes, CP_UTF8); }
std::string ToCp932(const std::wstring& text) { return Convert(text, 932); }
std::wstring FromCp932(const std::string& bytes) { return Convert(bytes, 932); }

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
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

ScopedEnv::ScopedEnv(const std::wstring& name, const std::wstring& value) : name_(name)
{
    wchar_t buffer[32768];
    DWORD n = GetEnvironmentVariableW(name.c_str(), buffer, 32768);
    had_ = n > 0 && n < 32768;
    if (had_) old_ = buffer;
    SetEnvironmentVariableW(name.c_str(), value.c_str());
}

ScopedEnv::~ScopedEnv() { SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr); }

Process::Process(const std::wstring& commandLine)
{
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    outputFile_ = std::wstring(temp) + L"vtest-out-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(counter++) + L".txt";
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE out = CreateFileW(outputFile_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nullptr;
    si.hStdOutput = out;
    si.hStdError = out;
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
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 259);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }
    DeleteFileW(outputFile_.c_str());
}

ProcessResult Process::Wait(DWORD timeoutMs)
{
    ProcessResult result;
    if (!process_) {
        result.exitCode = ~0u;
        return result;
    }
    if (WaitForSingleObject(process_, timeoutMs) == WAIT_TIMEOUT) {
        result.timedOut = true;
        TerminateProcess(process_, 259);
        WaitForSingleObject(process_, 5000);
    }
    GetExitCodeProcess(process_, &result.exitCode);
    result.output = ReadBytes(outputFile_);
    return result;
}

ProcessResult Run(const std::wstring& commandLine, DWORD timeoutMs)
{
    Process process(commandLine);
    return process.Wait(timeoutMs);
}

ProcessResult Ui(const std::wstring& arguments, DWORD timeoutMs)
{
    return Run(Quote(BinPath(L"uidriver.exe")) + L" " + arguments, timeoutMs);
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
    if (o.withArgs) line += L" --args " + Quote(o.args);
    return line + L" -- " + Quote(o.program.find(L'\\') == std::wstring::npos ? BinPath(o.program) : o.program);
}
}  // namespace

HostSession::HostSession(const HostOptions& options)
    : log_(dir_ / L"host.log"), process_(HostCommandLine(options, log_))
{
}

HostResult HostSession::Finish(DWORD timeoutMs)
{
    ProcessResult run = process_.Wait(timeoutMs);
    HostResult result;
    result.exitCode = run.exitCode;
    result.timedOut = run.timedOut;
    result.executes = ParseHostLog(ReadBytes(log_));
    return result;
}

std::vector<std::wstring> HostSession::ExecutesSoFar() const { return ParseHostLog(ReadBytes(log_)); }

HostResult RunHost(const HostOptions& options, DWORD timeoutMs)
{
    HostSession session(options);
    return session.Finish(timeoutMs);
}

std::vector<std::wstring> ParseHostLog(const std::string& utf8)
{
    std::vector<std::wstring> lines;
    size_t i = 0;
    while (i < utf8.size()) {
        size_t open = utf8.find('"', i);
        if (open == std::string::npos) break;
        std::string text;
        size_t j = open + 1;
        for (; j < utf8.size() && utf8[j] != '"'; ++j) {
            if (utf8[j] != '\\') {
                text += utf8[j];
                continue;
            }
            char e = utf8[++j];
            switch (e) {
            case 'n': text += '\n'; break;
            case 'r': text += '\r'; break;
            case 't': text += '\t'; break;
            case 'b': text += '\b'; break;
            case 'f': text += '\f'; break;
            case 'u': {
                std::wstring unit(1, static_cast<wchar_t>(std::stoul(utf8.substr(j + 1, 4), nullptr, 16)));
                text += ToUtf8(unit);
                j += 4;
                break;
            }
            default: text += e; break;
            }
        }
        lines.push_back(FromUtf8(text));
        i = utf8.find('\n', j);
        if (i == std::string::npos) break;
        ++i;
    }
    return lines;
}

}  // namespace ts
