#pragma once
// What the tests share: scratch folders, files as bytes, child processes, the
// host stand-in, one project folder, one simulated device and the UI driver.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace ts {

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
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};

std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
// A profile entry as the platform reads it; "<absent>" when there is none.
std::wstring Entry(const std::wstring& file, const std::wstring& section, const std::wstring& key);
// The names in a folder, sorted.
std::vector<std::wstring> Names(const std::wstring& dir);

// Holds a file open without sharing it for writing, as another program may.
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
std::wstring Quote(const std::wstring& argument);

// An environment variable of this process (and its children) for the life of the object.
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

// Polls until `done` holds; false when it still does not after `boundMs`. The
// bound only keeps a broken program from hanging the run.
bool WaitUntil(const std::function<bool()>& done, DWORD boundMs = 30000);

// Runs `show`, which blocks in a dialog or box of this thread, while another
// thread waits for that dialog and hands it to `answer`, which must close it.
void WhileShown(const std::function<void()>& show, const std::function<void(HWND)>& answer);
// A box's text (its Static with text) and the text of a dialog control by id.
std::wstring BoxText(HWND box);
std::wstring ItemText(HWND dialog, int id);

struct ProcessResult {
    DWORD exitCode = 0;
    bool timedOut = false;
    std::string output;  // standard output and error, as bytes
};

class Process {
public:
    explicit Process(const std::wstring& commandLine);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    // Waits at most `boundMs`; a process still running then is killed.
    ProcessResult Wait(DWORD boundMs = 60000);

private:
    HANDLE process_ = nullptr;
    std::wstring outputFile_;
};

ProcessResult Run(const std::wstring& commandLine, DWORD boundMs = 60000);

// The UI driver, for what must happen while this thread is blocked in the product.
ProcessResult Ui(const std::wstring& arguments);
bool Step(const std::wstring& arguments);  // Ui(), a failure reported
bool Wait(const std::wstring& window);
bool Gone(const std::wstring& window);
bool Click(const std::wstring& window, const std::wstring& button);
bool Select(const std::wstring& window, const std::wstring& option);
bool SetEdit(const std::wstring& window, int index, const std::wstring& text);
std::wstring Edit(const std::wstring& window, int index);
// Waits for a message box, presses `button` ("ok", "cancel"); "TITLE\nTEXT".
std::wstring Box(const std::wstring& button = L"ok");
// Answers the next file dialog with `path`, or cancels it when `path` is empty.
bool FileDialog(const std::wstring& path, const std::wstring& owner = L"");

struct HostResult {
    DWORD exitCode = 0;
    bool timedOut = false;
    std::vector<std::wstring> executes;  // one element per execute, in order
    std::wstring Joined() const;
};

struct HostOptions {
    std::wstring project;  // answer to "projectFileName"; empty: none
    std::wstring args;
    bool service = true;
    bool refuseExecutes = false;
    std::wstring program = L"VORTALIS0.exe";
};

// hostsim.exe running a program; Finish() waits for it and reads its log.
class HostSession {
public:
    explicit HostSession(const HostOptions& options);
    HostResult Finish();
    std::vector<std::wstring> ExecutesSoFar() const;

private:
    TempDir dir_;
    std::wstring log_;
    Process process_;
};

std::vector<std::wstring> Lines(std::initializer_list<std::wstring> lines);  // each + "\r\n"

// A host project in a folder of its own: game.sds, written in code page 932.
class Project {
public:
    static const wchar_t DefaultText[];  // PROJECT-NAME GAME, SOURCE 1 .\game.c
    explicit Project(const std::wstring& sdsText = DefaultText);
    const std::wstring& dir() const { return dir_.path(); }
    std::wstring file() const { return dir_ / L"game.sds"; }
    std::wstring operator/(const std::wstring& name) const { return dir_ / name; }
    // An entry as the platform reads it; "<absent>" when there is none.
    std::wstring Read(const std::wstring& section, const std::wstring& key) const;
    void Write(const std::wstring& section, const std::wstring& key, const std::wstring& value) const;
    HostOptions Host(const std::wstring& args, const std::wstring& program = L"VORTALIS0.exe") const;
    // The device tool run with `args`, to its end.
    HostResult Run(const std::wstring& args, const std::wstring& program = L"VORTALIS0.exe") const;

private:
    TempDir dir_;
};

// The simulated device: PIECE_SIM_DIR names its folder for as long as it lives.
class SimDevice {
public:
    SimDevice();
    std::wstring operator/(const std::wstring& relative) const { return dir_ / relative; }
    void Set(const std::wstring& section, const std::wstring& key, const std::wstring& value) const;
    std::vector<std::string> Calls() const;  // calls.log, one element a line
    void ClearCalls() const;

private:
    TempDir dir_;
    ScopedEnv env_;
};

// A copy of the program alone in `dir`, away from the device library and the packer.
std::wstring LoneCopy(const TempDir& dir, const std::wstring& program = L"VORTALIS0.exe");

// ismInit, the call, ismExit, as calls.log shows one operation.
std::vector<std::string> Bracket(std::initializer_list<std::string> calls);

}  // namespace ts
