#pragma once
// What the tests share: the built programs, scratch folders, files as bytes,
// code page conversions, child processes, and runs through the host stand-in.
#include <windows.h>

#include <string>
#include <vector>

namespace ts {

// The folder of the built programs (build\bin), and a program in it.
std::wstring BinDir();
std::wstring BinPath(const std::wstring& name);

// A fresh folder under the temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& path() const { return path_; }
    // path() + "\" + relative
    std::wstring operator/(const std::wstring& relative) const;

private:
    std::wstring path_;
};

std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
// The read-only attribute. Under Wine run as root it does not stop a write:
// use LockedFile where a write must fail.
void MakeReadOnly(const std::wstring& path, bool readOnly = true);

// Holds a file open without sharing it for writing, so every attempt to open
// it for writing fails (as a file locked by another program does).
class LockedFile {
public:
    explicit LockedFile(const std::wstring& path);
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

private:
    HANDLE handle_;
};

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& bytes);
std::string ToCp932(const std::wstring& text);
std::wstring FromCp932(const std::string& bytes);

// An argument quoted for the usual Windows command-line parsing.
std::wstring Quote(const std::wstring& argument);

// Sets an environment variable of this process (inherited by children) for the
// life of the object, then restores it.
class ScopedEnv {
public:
    ScopedEnv(const std::wstring& name, const std::wstring& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::wstring name_, old_;
    bool had_;
};

struct ProcessResult {
    DWORD exitCode = 0;
    bool timedOut = false;
    std::string output;  // standard output and error, as bytes
};

// A child process whose standard output and error go to a scratch file.
class Process {
public:
    explicit Process(const std::wstring& commandLine);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool started() const { return process_ != nullptr; }
    // Waits at most `timeoutMs`; a process still running then is killed.
    ProcessResult Wait(DWORD timeoutMs = 30000);

private:
    HANDLE process_ = nullptr;
    std::wstring outputFile_;
};

ProcessResult Run(const std::wstring& commandLine, DWORD timeoutMs = 30000);

// uidriver.exe with the given arguments (already quoted as needed).
ProcessResult Ui(const std::wstring& arguments, DWORD timeoutMs = 30000);

// What the host stand-in received in one run.
struct HostResult {
    DWORD exitCode = 0;
    bool timedOut = false;
    std::vector<std::wstring> executes;  // one element per execute, in order
    std::wstring Joined() const;         // as the host shows it
};

struct HostOptions {
    std::wstring project;          // answer to "projectFileName"; empty: no --project
    std::wstring args;             // argument text of the started program
    bool withArgs = true;          // false: no --args at all
    bool service = true;           // false: --no-service
    bool refuseExecutes = false;   // true: --refuse-executes
    std::wstring program = L"VORTALIS0.exe";
};

// hostsim.exe running a program; Finish() waits for it and reads its log.
class HostSession {
public:
    explicit HostSession(const HostOptions& options);
    HostResult Finish(DWORD timeoutMs = 30000);
    // The executes received so far (the log is written as they arrive).
    std::vector<std::wstring> ExecutesSoFar() const;

private:
    TempDir dir_;
    std::wstring log_;
    Process process_;
};

HostResult RunHost(const HostOptions& options, DWORD timeoutMs = 30000);

// Parses the host stand-in's log: one JSON string per line.
std::vector<std::wstring> ParseHostLog(const std::string& utf8);

}  // namespace ts
