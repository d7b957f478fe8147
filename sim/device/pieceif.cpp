// pieceif.dll stand-in: a simulated P/ECE kept in a folder of the PC, so that
// the device tool can be driven and checked without the handheld.
//
// Device folder: %PIECE_SIM_DIR% (a Windows path), or "piece-sim" beside this
// DLL when the variable is not set. It holds:
//   device.ini   the device's settings; every entry is optional. Numbers are
//                decimal or 0x hex.
//                [device] connected  1 = a device answers (default), 0 = none
//                         hardware   hardware version word (0x0102)
//                         bios       BIOS version word (0x0114)
//                         biosdate   BIOS date word (0x068F)
//                [pffs]   capacity   flash size in sectors of 4096 bytes (1024)
//                         freesectors, freebytes
//                                    shown in the listing's summary instead of
//                                    the free space the files leave; a given
//                                    freesectors without freebytes shows
//                                    freesectors * 4096 bytes. They change only
//                                    the listing, not the full-flash check.
//                         dirresult  returned by ismPFFSDir instead of a listing
//                         writeresult returned by ismPFFSWrite instead of writing
//                         nolinefeed 1 = the summary line has no final line feed
//                         empty      1 = the listing is empty (result 0)
//                [srf]    result     returned by ismWriteSrfFile after recording
//                [delay]  ismInit, ismExit, ismGetVersion, ismPFFSDir,
//                         ismPFFSWrite, ismWriteSrfFile, ismLCDCaptureScreen
//                                    milliseconds that call takes before it
//                                    does anything else, as a slow device, or
//                                    one that hangs for a while and then
//                                    answers; 4294967295 (the platform's
//                                    INFINITE), a device that hangs in the
//                                    call for ever
//                         all        the same for every call without an entry
//                                    of its own
//                         event      the name of a manual-reset event, set as
//                                    a call begins to take its time
//   pffs\        the files of the flash file system. Each file takes whole
//                sectors, at least one.
//   screen.bin   the screens that captures return, copied byte for byte (values
//                above 3 too): one screen of 11264 bytes, or several one after
//                the other, which the captures of one process return in turn,
//                wrapping round, so the screen moves. Without it the screen
//                shows four vertical bands, pixel value = x / 32: columns 0-31
//                are 0 (white), 32-63 are 1, 64-95 are 2 and 96-127 are 3
//                (black), on every row.
//   run\         what ismWriteSrfFile received: a copy of the program file under
//                its own name, and last.txt holding two CRLF lines: the path as
//                given and the constant argument.
//   calls.log    one CRLF line per call, appended, in the ANSI code page: the
//                function name and its arguments separated by single blanks,
//                texts as given, pointers left out; written as the call
//                begins, before its delay:
//                  ismInit
//                  ismGetVersion 1
//                  ismPFFSDir 4096 0
//                  ismPFFSWrite game.pex C:\dev\GAME.PEX
//                  ismWriteSrfFile C:\dev\main.srf 1
//                  ismLCDCaptureScreen 11264
//                  ismExit
//
// %PIECE_SIM_CAPTURE_RESULT% (decimal, default 0): what a capture that copied
// the screen returns, as a library that reports success otherwise would.
//
// Directory listing (LF line ends; the whole text cut to the buffer size and
// zero-terminated only when it fits): one line per file in name order, the
// name left-aligned in 24 columns, a blank, the size in bytes right-aligned in
// 10 columns; then the summary line, e.g.
//   "game.pex                       1234\n"
//   " 1023 sectors free (4190208 bytes free)\n"
//
// Results: 0 = done. With no device connected, ismGetVersion gives -1 and
// leaves the record alone; every other call except ismExit gives 1000 and
// touches nothing. Error codes of ismPFFSWrite and ismWriteSrfFile:
//   1000 no device connected
//   1001 bad device file name: empty, longer than 24 characters, not starting
//        with a lower-case letter or digit, or holding anything but lower-case
//        letters, digits, '.', '_' and '-'
//   1002 the PC file is missing or cannot be read
//   1003 flash full: the files would need more sectors than the capacity
//   1004 the file could not be written into the flash file system
// The device makes no other codes itself; 1005 to 1007 (and any other value)
// can be injected through device.ini.

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "SimSupport.h"

namespace {

const int ErrNotConnected = 1000;
const int ErrBadName = 1001;
const int ErrPcFile = 1002;
const int ErrFlashFull = 1003;
const int ErrFlashWrite = 1004;

const long long SectorBytes = 4096;
const long long DefaultCapacity = 1024;
const int ScreenWidth = 128;
const int ScreenBytes = 128 * 88;
const size_t MaxNameLength = 24;

// The device keeps ANSI paths, as its callers give them.
std::wstring Wide(const std::string& ansi) { return sim::FromCodePage(CP_ACP, ansi); }

bool ReadWhole(const std::string& path, std::string& data) { return sim::ReadWhole(Wide(path), data); }

bool WriteWhole(const std::string& path, const std::string& data) { return sim::WriteWhole(Wide(path), data); }

long long ParseNumber(const std::string& text)
{
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = *p == '-';
    if (negative)
        ++p;
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    long long value = std::strtoll(p, nullptr, base);
    return negative ? -value : value;
}

// The simulated device's folder and settings, looked up afresh by every call:
// the library keeps nothing between calls, as the caller opens and closes it
// for each operation.
class Device {
public:
    Device() : dir_(Folder()) { CreateDirectoryA(dir_.c_str(), nullptr); }

    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }

    bool Has(const char* section, const char* key) const { return !Setting(section, key).empty(); }

    long long Number(const char* section, const char* key, long long fallback) const
    {
        std::string text = Setting(section, key);
        return text.empty() ? fallback : ParseNumber(text);
    }

    bool Connected() const { return Number("device", "connected", 1) != 0; }

    // Logs the call, `line` naming it first, then takes its delay.
    void Begin(const std::string& line) const
    {
        sim::AppendWhole(Wide(Path("calls.log")), line + "\r\n");
        const std::string name = line.substr(0, line.find(' '));
        const auto ms = static_cast<DWORD>(Number("delay", name.c_str(), Number("delay", "all", 0)));
        if (ms == 0)
            return;
        // The event stays set while this handle keeps it.
        const std::string event = Setting("delay", "event");
        const sim::Handle taking = event.empty() ? sim::Handle() : sim::SetNamedEvent(Wide(event));
        Sleep(ms);
    }

private:
    static std::string Folder()
    {
        std::string dir;
        const std::optional<std::wstring> given = sim::EnvText(L"PIECE_SIM_DIR");
        if (given && !given->empty()) {
            dir = sim::ToCodePage(CP_ACP, *given);
        } else {
            HMODULE self = nullptr;
            GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                   GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               reinterpret_cast<LPCSTR>(&ParseNumber), &self);
            char module[MAX_PATH * 2] = {};
            GetModuleFileNameA(self, module, sizeof module);
            PathRemoveFileSpecA(module);
            dir = std::string(module) + "\\piece-sim";
        }
        // The profile functions look for relative names in the Windows folder.
        char full[MAX_PATH * 2] = {};
        GetFullPathNameA(dir.c_str(), sizeof full, full, nullptr);
        PathRemoveBackslashA(full);
        return full;
    }

    std::string Setting(const char* section, const char* key) const
    {
        char buf[256] = {};
        GetPrivateProfileStringA(section, key, "", buf, sizeof buf, Path("device.ini").c_str());
        return buf;
    }

    std::string dir_;
};

struct PffsFile {
    std::string name;
    unsigned long size;
};

std::vector<PffsFile> PffsFiles(const Device& device)
{
    std::vector<PffsFile> files;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(device.Path("pffs\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back({found.cFileName, found.nFileSizeLow});
    } while (FindNextFileA(h, &found));
    FindClose(h);
    std::sort(files.begin(), files.end(),
              [](const PffsFile& a, const PffsFile& b) { return a.name < b.name; });
    return files;
}

long long Sectors(unsigned long long bytes)
{
    return std::max(1LL, static_cast<long long>((bytes + SectorBytes - 1) / SectorBytes));
}

long long UsedSectors(const std::vector<PffsFile>& files, const std::string& except = "")
{
    long long used = 0;
    for (const PffsFile& f : files)
        if (lstrcmpiA(f.name.c_str(), except.c_str()) != 0)
            used += Sectors(f.size);
    return used;
}

std::string Listing(const Device& device)
{
    std::vector<PffsFile> files = PffsFiles(device);
    std::string text;
    char line[160];
    for (const PffsFile& f : files) {
        // NOLINTNEXTLINE(cert-err33-c): a valid name (24 bytes at most) fits
        std::snprintf(line, sizeof line, "%-24s %10lu\n", f.name.c_str(), f.size);
        text += line;
    }
    long long capacity = device.Number("pffs", "capacity", DefaultCapacity);
    long long freeSectors = device.Has("pffs", "freesectors")
                                ? device.Number("pffs", "freesectors", 0)
                                : std::max(0LL, capacity - UsedSectors(files));
    long long freeBytes = device.Number("pffs", "freebytes", freeSectors * SectorBytes);
    // NOLINTNEXTLINE(cert-err33-c): two numbers fit
    std::snprintf(line, sizeof line, "%5lld sectors free (%lld bytes free)%s", freeSectors,
                  freeBytes, device.Number("pffs", "nolinefeed", 0) ? "" : "\n");
    return text + line;
}

bool ValidPffsName(const std::string& name)
{
    if (name.empty() || name.size() > MaxNameLength)
        return false;
    auto plain = [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); };
    if (!plain(name[0]))
        return false;
    return std::all_of(name.begin(), name.end(),
                       [&](char c) { return plain(c) || c == '.' || c == '_' || c == '-'; });
}

void PutWord(unsigned char* at, long long value)
{
    at[0] = static_cast<unsigned char>(value & 0xFF);
    at[1] = static_cast<unsigned char>((value >> 8) & 0xFF);
}

} // namespace

extern "C" {

int __stdcall ismInit()
{
    Device device;
    device.Begin("ismInit");
    return device.Connected() ? 0 : ErrNotConnected;
}

int __stdcall ismExit()
{
    Device().Begin("ismExit");
    return 0;
}

int __stdcall ismGetVersion(void* record, int kind)
{
    Device device;
    device.Begin("ismGetVersion " + std::to_string(kind));
    if (!device.Connected())
        return -1;
    auto* bytes = static_cast<unsigned char*>(record);
    PutWord(bytes + 2, device.Number("device", "hardware", 0x0102));
    PutWord(bytes + 4, device.Number("device", "bios", 0x0114));
    PutWord(bytes + 6, device.Number("device", "biosdate", 0x068F));
    // The rest is the device's own business; a visible filler shows a caller
    // that reads from the wrong place.
    std::fill(bytes + 8, bytes + 32, 0xA5);
    return 0;
}

int __stdcall ismPFFSDir(char* buffer, int size, int kind)
{
    Device device;
    device.Begin("ismPFFSDir " + std::to_string(size) + " " + std::to_string(kind));
    if (!device.Connected())
        return ErrNotConnected;
    if (int injected = static_cast<int>(device.Number("pffs", "dirresult", 0)))
        return injected;
    std::string text = device.Number("pffs", "empty", 0) ? std::string() : Listing(device);
    size_t room = size > 0 ? static_cast<size_t>(size) : 0;
    size_t n = std::min(text.size(), room);
    std::copy(text.begin(), text.begin() + n, buffer);
    if (n < room)
        buffer[n] = '\0';
    return 0;
}

int __stdcall ismPFFSWrite(const char* pffsName, const char* pcPath)
{
    Device device;
    device.Begin(std::string("ismPFFSWrite ") + pffsName + " " + pcPath);
    if (!device.Connected())
        return ErrNotConnected;
    if (int injected = static_cast<int>(device.Number("pffs", "writeresult", 0)))
        return injected;
    if (!ValidPffsName(pffsName))
        return ErrBadName;
    std::string data;
    if (!ReadWhole(pcPath, data))
        return ErrPcFile;
    // A file of the same name is replaced, so its sectors count as free.
    long long capacity = device.Number("pffs", "capacity", DefaultCapacity);
    if (UsedSectors(PffsFiles(device), pffsName) + Sectors(data.size()) > capacity)
        return ErrFlashFull;
    CreateDirectoryA(device.Path("pffs").c_str(), nullptr);
    if (!WriteWhole(device.Path("pffs\\" + std::string(pffsName)), data))
        return ErrFlashWrite;
    return 0;
}

int __stdcall ismWriteSrfFile(const char* srfPath, int kind)
{
    Device device;
    device.Begin(std::string("ismWriteSrfFile ") + srfPath + " " + std::to_string(kind));
    if (!device.Connected())
        return ErrNotConnected;
    CreateDirectoryA(device.Path("run").c_str(), nullptr);
    WriteWhole(device.Path("run\\last.txt"), std::string(srfPath) + "\r\n" + std::to_string(kind) + "\r\n");
    std::string program;
    bool found = ReadWhole(srfPath, program);
    if (found)
        WriteWhole(device.Path("run\\" + std::string(PathFindFileNameA(srfPath))), program);
    if (int injected = static_cast<int>(device.Number("srf", "result", 0)))
        return injected;
    return found ? 0 : ErrPcFile;
}

int __stdcall ismLCDCaptureScreen(unsigned char* buffer, int size)
{
    Device device;
    device.Begin("ismLCDCaptureScreen " + std::to_string(size));
    if (!device.Connected())
        return ErrNotConnected;
    size_t n = static_cast<size_t>(std::max(0, std::min(size, ScreenBytes)));
    std::string screens;
    if (ReadWhole(device.Path("screen.bin"), screens)) {
        // A short last screen counts as one, so a file of any size shows.
        static size_t turn = 0;
        const size_t count = std::max<size_t>(1, (screens.size() + ScreenBytes - 1) / ScreenBytes);
        const std::string screen = screens.substr(turn++ % count * ScreenBytes, ScreenBytes);
        std::copy(screen.begin(), screen.begin() + std::min(n, screen.size()), buffer);
    } else {
        for (size_t i = 0; i < n; ++i)
            buffer[i] = static_cast<unsigned char>((i % ScreenWidth) / 32);
    }
    return static_cast<int>(sim::EnvNumber(L"PIECE_SIM_CAPTURE_RESULT", 0));
}

} // extern "C"
