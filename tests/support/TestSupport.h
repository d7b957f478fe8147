#pragma once
// What the tests share: scratch folders, files as bytes, child processes, the
// host stand-in, one project folder, one simulated device, and the window
// driver's steps with one generous bound.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "SimSupport.h"
#include "WindowActions.h"

class Window;

namespace ts {

using Texts = std::vector<std::wstring>;

// Only keeps a broken program from hanging the run; never a measure of speed.
const DWORD Bound = 30000;

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
inline std::string Cp932(const std::wstring& text) { return sim::ToCodePage(932, text); }
// A project file (either kind) as the tools find it: code page 932. Returns the path.
inline std::wstring Vtp(const std::wstring& path, const std::wstring& text) { return WriteBytes(path, Cp932(text)), path; }
inline std::string Utf8(const std::wstring& text) { return sim::ToCodePage(CP_UTF8, text); }
// A profile entry as the platform reads it; "<absent>" when there is none.
std::wstring Entry(const std::wstring& file, const std::wstring& section, const std::wstring& key);
// Enough for the paths and texts the tests pass: none ends in a backslash or holds a quote.
inline std::wstring Quote(const std::wstring& argument) { return L"\"" + argument + L"\""; }

// Sets an environment variable of this process (and its children) until the
// returned guard goes.
using Restore = std::shared_ptr<void>;
Restore SetEnv(const std::wstring& name, const std::wstring& value);

// What a child wrote to its standard output and standard error.
struct Output { std::string out, err; };

// A child process, in `folder` when one is given; killed with every process
// it started if still running when the object goes, so a failed step leaves
// no program behind to hold the test run up. Its output and error go into
// `output` through pipes when one is given, else nowhere.
class Process {
public:
    explicit Process(const std::wstring& commandLine, const std::wstring& folder = L"", Output* output = nullptr);
    ~Process();
    // The exit code, once the output has ended; ~0u when it did not end within
    // the bound. A window program's wait fails at once at a box, any program's
    // on the display: a console program, whose tests need not take turns on
    // the display, waits without that.
    DWORD Wait(bool windows = true);

private:
    sim::Handle job_, process_;
    std::thread readers_[2];
};

// Runs `show`, which blocks this thread in a box or dialog, while another
// thread runs `answer` (one of the steps below) to close it.
void WhileShown(const std::function<void()>& show, const std::function<void()>& answer);

// Window steps, each failing the test when what it needs does not come, and at
// once, naming the box's text, when a message box comes instead.
bool Click(const std::wstring& window, const std::wstring& button);
bool SetEdit(const std::wstring& window, size_t index, const std::wstring& text);
// The edit box's text once it reads `expected` (the last text read when it never does).
std::wstring Edit(const std::wstring& window, size_t index, const std::wstring& expected);
// Whether the edit box comes to have the focus in its window's thread.
bool Focused(const std::wstring& window, size_t index);
// Whether the window, once shown, is centred on the screen (to the pixel that
// halving an odd difference loses).
bool Centred(const std::wstring& window);
// Waits for a message box, presses IDOK or IDCANCEL; "ICON\nTITLE\nTEXT".
std::wstring Box(int press = IDOK);
// Once the window's thread waits for messages again: true when it waits in
// the window's own loop, false when in a box's (or a job's) over it.
bool NoBox(const std::wstring& window);
// Answers the next file dialog with `path`, or cancels it when `path` is empty;
// with `owner`, the dialog must belong to that window. The file type numbered
// `type` (0 = the first, selected as the dialog opens) is selected first.
bool FileDialog(const std::wstring& path, const std::wstring& owner = L"", int type = 0);

struct HostOptions {
    // The answer to "projectFileName" (empty: none), and the program's arguments.
    std::wstring project, args;
    std::wstring program = L"VORTALIS0.exe";
    std::wstring flags;  // more of the stand-in's options
    std::wstring folder = L"";  // the current folder of the host, and so of the program; empty: this process's
};

// hostsim.exe running a program; Finish() waits for it and reads its log.
class HostSession {
public:
    explicit HostSession(const HostOptions& options);
    // Every execute received, in order, once the program has ended with code 0.
    Texts Finish() { EXPECT_EQ(process_.Wait(), 0u) << "the program's exit code"; return Received(); }
    Texts Received(size_t atLeast = 0) const;  // once that many have come

private:
    TempDir dir_;
    Process process_;
};

Texts Lines(std::initializer_list<std::wstring> lines);  // each + "\r\n"
inline std::wstring Joined(const Texts& texts) { return std::accumulate(texts.begin(), texts.end(), std::wstring()); }

// A host project in a folder of its own: game.sds, written in code page 932.
class Project : public TempDir {
public:
    static const wchar_t DefaultText[];  // PROJECT-NAME GAME, SOURCE 1 .\game.c
    explicit Project(const std::wstring& sdsText = DefaultText);
    std::wstring file() const { return *this / L"game.sds"; }
    std::wstring Read(const std::wstring& section, const std::wstring& key) const { return Entry(file(), section, key); }
    HostOptions Host(const std::wstring& args, const std::wstring& program = L"VORTALIS0.exe",
                     const std::wstring& folder = L"") const { return {file(), args, program, L"", folder}; }
};

// The simulated device: PIECE_SIM_DIR names its folder for as long as it lives.
class SimDevice : public TempDir {
public:
    SimDevice() : env_(SetEnv(L"PIECE_SIM_DIR", path())) {}
    void Set(const std::wstring& section, const std::wstring& key, const std::wstring& value) const;
    std::string Calls() const { return ReadBytes(*this / L"calls.log"); }
    // How many captures it has been asked for so far.
    size_t Captures() const;
    void ClearCalls() const { DeleteFileW((*this / L"calls.log").c_str()); }

private:
    Restore env_;
};

// ismInit, the call, ismExit, as calls.log shows one operation.
std::string Bracket(std::initializer_list<std::string> calls);

// A picture file as the platform's imaging component reads it: each frame's
// pixels (rows from the top, 0x00RRGGBB) and delay (GIF, else -1), and the
// GIF's loop count (-1: no loop block). A GIF's frames as a viewer shows
// them: the whole screen, each frame drawn at its place over the frames
// before, which show through its transparent pixels.
struct Decoded {
    struct Frame {
        int width, height, delay;
        std::vector<std::uint32_t> pixels;
        bool operator==(const Frame& o) const { return width == o.width && height == o.height && delay == o.delay && pixels == o.pixels; }
    };
    std::vector<Frame> frames;
    int loop = -1;
};
Decoded Decode(const std::string& file);

// Grey levels as a picture shows them: each level of a screen `screenWidth`
// wide (the device's, by default) a block of `block` × `block`, from the top
// left corner of a picture `width` wide or from (left, top) in it, white
// elsewhere; levels above 3 black.
Decoded::Frame Shows(const std::string& screen, int block, int width, int height, int screenWidth = 128, int left = 0,
                     int top = 0);

// The dots an inch of this session: 96, or the value of TEST_DPI where a
// session runs in a Wine prefix set to another.
int SessionDpi();

// Loads the form hidden and checks its layout at the session's DPI: its
// controls, as the window has them, lie wholly inside the client area, apart
// (but the options inside a frame), in the message font at that DPI, each
// caption whole on one line. Then the DPI changes to 144, as a move to another
// monitor tells it, and the same holds at the new DPI. The window carries the
// program's own icon: the first of the running program, which the test
// programs have from theirs.
void ExpectLayout(Window& form);
// The window's controls as they are at `dpi`: each wholly inside the client
// area, none over another but the options inside a frame, each in the
// message font at the DPI with its caption whole on one line.
void ExpectControls(HWND form, int dpi);
// The form moves to a monitor of `dpi` dots an inch, as the system tells it:
// its frame is the one the system suggests, and its controls are as above.
void ExpectDpiChange(Window& form, int dpi);

}  // namespace ts
