// Figures of the capture: the stand-in's bare capture rate, with an open and a
// close around every capture and with one open for all of them; the live
// view's frames a second in the real capture window at each size, in a
// window grown for it and maximised, counted in a recording at 1x; the window
// thread's CPU time per frame; the GIF's size per minute at the size shown.
#include "Ansi.h"
#include "Form7.h"
#include "MsgBox.h"
#include "WindowActions.h"
#include "pieceif.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;
const DWORD Bound = 30000;
const wchar_t Capture[] = L"キャプチャ";

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double CpuSeconds(HANDLE thread)
{
    FILETIME created, ended, kernel, user;
    GetThreadTimes(thread, &created, &ended, &kernel, &user);
    auto value = [](FILETIME t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return (value(kernel) + value(user)) / 1e7;
}

// Captures a second through the device layer: an open and a close each.
double BracketRate(double seconds)
{
    ScreenBuffer screen;
    int frames = 0;
    const Clock::time_point start = Clock::now();
    while (Seconds(Clock::now() - start) < seconds && CaptureScreen(screen)) ++frames;
    return frames / Seconds(Clock::now() - start);
}

// Captures a second with the library opened once for all of them.
double OpenOnceRate(double seconds)
{
    const HMODULE library = LoadLibraryA("pieceif.dll");
    auto init = reinterpret_cast<int(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(library, "_ismInit@0")));
    auto exit = reinterpret_cast<int(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(library, "_ismExit@0")));
    auto capture = reinterpret_cast<int(WINAPI*)(unsigned char*, int)>(
        reinterpret_cast<void*>(GetProcAddress(library, "_ismLCDCaptureScreen@8")));
    if (!init || !exit || !capture) return 0;
    ScreenBuffer screen;
    int frames = 0;
    init();
    const Clock::time_point start = Clock::now();
    for (; Seconds(Clock::now() - start) < seconds; ++frames) capture(screen.data(), ScreenBytes);
    const double rate = frames / Seconds(Clock::now() - start);
    exit();
    return rate;
}

// Frames and their delays (hundredths of a second) of a GIF file.
void ReadGif(const std::string& gif, int& frames, long long& centis)
{
    frames = 0;
    centis = 0;
    auto byte = [&](size_t i) { return i < gif.size() ? static_cast<unsigned char>(gif[i]) : 0u; };
    auto skipBlocks = [&](size_t i) {
        while (i < gif.size() && byte(i)) i += byte(i) + 1;
        return i + 1;
    };
    size_t i = 13 + (byte(10) & 0x80 ? 3u << ((byte(10) & 7) + 1) : 0);
    while (i < gif.size() && byte(i) != 0x3B) {
        if (byte(i) == 0x21) {
            if (byte(i + 1) == 0xF9) centis += byte(i + 4) | byte(i + 5) << 8;
            i = skipBlocks(i + 2);
        } else {
            ++frames;
            i = skipBlocks(i + 10 + 1);
        }
    }
}

struct Live {
    double fps = 0, cpuMs = 0, bytesPerMinute = 0;
};

// How the window shows the live view while it is measured.
struct Shown {
    const char* name;
    const wchar_t* option;  // the size selected
    bool maximised;
    bool recordedAtSize;  // recorded at that size, else at 1x (which only counts the frames)
};

// The real window records the live view for `seconds`, shown as `shown`
// says; the figures come from the GIF it saves and from the window thread's
// CPU time from the moment it shows the live view so.
Live RecordLive(const std::wstring& gifPath, const Shown& shown, double seconds)
{
    HANDLE windowThread = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &windowThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    double cpu = 0;
    std::thread driver([&] {
        if (shown.recordedAtSize) ui::SelectOption(Capture, shown.option, Bound);
        ui::ClickButton(Capture, L"録画", Bound);
        ui::SelectOption(Capture, shown.option, Bound);
        if (shown.maximised) PostMessageW(ui::WaitForWindow(Capture, Bound), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        Sleep(500);  // the window has grown and shows the size
        const double before = CpuSeconds(windowThread);
        Sleep(static_cast<DWORD>(seconds * 1000));
        ui::ClickButton(Capture, L"停止", Bound);
        cpu = CpuSeconds(windowThread) - before;
        ui::AnswerFileDialog(ui::WaitForFileDialog(Bound), gifPath, Bound);
        ui::WaitUntil([&] { return GetFileAttributesW(gifPath.c_str()) != INVALID_FILE_ATTRIBUTES; }, Bound);
        ui::ClickButton(Capture, L"閉じる", Bound);
    });
    Form7().Show(nullptr);
    driver.join();
    CloseHandle(windowThread);

    std::ifstream in(ToAnsi(gifPath), std::ios::binary);
    std::ostringstream gifBytes;
    gifBytes << in.rdbuf();
    const std::string gif = gifBytes.str();
    int frames;
    long long centis;
    ReadGif(gif, frames, centis);
    Live live;
    if (frames == 0 || centis == 0) return live;
    live.fps = frames / (centis / 100.0);
    live.cpuMs = cpu * 1000 / (live.fps * seconds);
    live.bytesPerMinute = gif.size() * 6000.0 / centis;
    return live;
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        // NOLINTNEXTLINE(cert-err33-c): standard error is the only channel left
        std::fputs("usage: capturebench FOLDER (PIECE_SIM_DIR names the simulated device)\n", stderr);
        return 2;
    }
    const std::wstring dir = argv[1];
    SetAppTitle(L"capturebench");
    std::printf("screen %dx%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    std::printf("%-10s %12s %12s  %-16s %8s %8s %14s %12s\n", "latency_ms", "bracket_fps", "open1_fps", "shown",
                "live_fps", "ratio", "cpu_ms/frame", "gif_KB/min");
    const Shown sizes[] = {{"1x", L"１倍(128×88)", false, false},
                           {"2x", L"２倍(256×176)", false, false},
                           {"4x", L"４倍(512×352)", false, false},
                           {"4x maximised", L"４倍(512×352)", true, false},
                           {"4x, GIF at 4x", L"４倍(512×352)", false, true}};
    // Each capture's latency, in the simulated device's settings.
    wchar_t device[MAX_PATH * 2] = {};
    GetEnvironmentVariableW(L"PIECE_SIM_DIR", device, MAX_PATH * 2);
    const std::wstring settings = std::wstring(device) + L"\\device.ini";
    int run = 0;
    for (int latency : {0, 50}) {
        WritePrivateProfileStringW(L"delay", L"ismLCDCaptureScreen", std::to_wstring(latency).c_str(),
                                   settings.c_str());
        const double bracket = BracketRate(2);
        const double once = OpenOnceRate(2);
        const double goal = bracket > 30 ? 30 : bracket;
        for (const Shown& shown : sizes) {
            const Live live = RecordLive(dir + L"\\live" + std::to_wstring(run++) + L".gif", shown, 4);
            std::printf("%-10d %12.1f %12.1f  %-16s %8.1f %8.2f %14.2f %12.1f\n", latency, bracket, once, shown.name,
                        live.fps, live.fps / goal, live.cpuMs, live.bytesPerMinute / 1024);
        }
    }
    return 0;
}
