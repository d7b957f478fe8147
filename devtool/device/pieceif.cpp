// The device library's functions, the one lock and the ismInit/ismExit bracket
// around each call, and the decoding of what the library gives back.
#include "pieceif.h"

#include "Ansi.h"
#include "LazyProc.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <type_traits>

namespace {
// pieceif.dll exports each function as "_name@N": stdcall, taking N bytes of
// 32-bit arguments. The pointer GetProcAddress gives carries no type, so a
// type here that lost its WINAPI, or an argument, would still compile and
// leave the stack wrong after every call on the shipped 32-bit build: each
// type is checked against its exported name instead. Only stdcall function
// types have an argument size (in a 64-bit build every function is one).
template <typename Fn>
struct Stdcall;
template <typename R, typename... A>
struct Stdcall<R(WINAPI*)(A...)> {
    static_assert(((std::is_pointer_v<A> || sizeof(A) == 4) && ...), "every argument is a 32-bit value");
    static constexpr unsigned argumentBytes = 4 * sizeof...(A);
};

// N of "_name@N".
constexpr unsigned ExportedArgumentBytes(const char* name)
{
    while (*name && *name != '@') ++name;
    unsigned bytes = 0;
    while (*name && *++name) bytes = bytes * 10 + static_cast<unsigned>(*name - '0');
    return bytes;
}

// A function of the library, bound by its exported name at the first call.
template <typename Fn, const char* Name>
struct DeviceFunction : LazyProc<Fn> {
    static_assert(Stdcall<Fn>::argumentBytes == ExportedArgumentBytes(Name), "the type takes what the name says");
    DeviceFunction() : LazyProc<Fn>("pieceif.dll", Name) {}
};

using IsmInitFn = int(WINAPI*)();
using IsmExitFn = int(WINAPI*)();
using IsmGetVersionFn = int(WINAPI*)(void* record, int kind);
using IsmPffsDirFn = int(WINAPI*)(char* buffer, int size, int kind);
using IsmPffsWriteFn = int(WINAPI*)(const char* pffsName, const char* pcPath);
using IsmWriteSrfFileFn = int(WINAPI*)(const char* srfPath, int kind);
using IsmLcdCaptureScreenFn = int(WINAPI*)(unsigned char* buffer, int size);

constexpr char IsmInitName[] = "_ismInit@0";
constexpr char IsmExitName[] = "_ismExit@0";
constexpr char IsmGetVersionName[] = "_ismGetVersion@8";
constexpr char IsmPffsDirName[] = "_ismPFFSDir@12";
constexpr char IsmPffsWriteName[] = "_ismPFFSWrite@8";
constexpr char IsmWriteSrfFileName[] = "_ismWriteSrfFile@8";
constexpr char IsmLcdCaptureScreenName[] = "_ismLCDCaptureScreen@8";

DeviceFunction<IsmInitFn, IsmInitName> ismInit;
DeviceFunction<IsmExitFn, IsmExitName> ismExit;
DeviceFunction<IsmGetVersionFn, IsmGetVersionName> ismGetVersion;
DeviceFunction<IsmPffsDirFn, IsmPffsDirName> ismPFFSDir;
DeviceFunction<IsmPffsWriteFn, IsmPffsWriteName> ismPFFSWrite;
DeviceFunction<IsmWriteSrfFileFn, IsmWriteSrfFileName> ismWriteSrfFile;
DeviceFunction<IsmLcdCaptureScreenFn, IsmLcdCaptureScreenName> ismLCDCaptureScreen;

// The device's one lock. Operations take turns in the order they come, so a
// capture clicked during the live view waits for the capture in flight, not
// for the next ones as well. An operation that waited DeviceHangMs for its
// turn gives up: the call before it hangs.
class DeviceTurns {
public:
    bool Take()
    {
        std::unique_lock<std::mutex> hold(lock_);
        const unsigned long long ticket = next_++;
        queue_.push_back(ticket);
        if (wake_.wait_for(hold, std::chrono::milliseconds(DeviceHangMs), [&] { return queue_.front() == ticket; }))
            return true;
        queue_.erase(std::find(queue_.begin(), queue_.end(), ticket));
        return false;
    }
    void Give()
    {
        {
            const std::lock_guard<std::mutex> hold(lock_);
            queue_.pop_front();
        }
        wake_.notify_all();
    }

private:
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<unsigned long long> queue_;  // the tickets waiting; the first has the turn
    unsigned long long next_ = 0;
};

// Never destroyed: a call left hanging in the library when the program ends
// may still come back while the program's objects go.
DeviceTurns& Turns()
{
    static DeviceTurns& turns = *new DeviceTurns;
    return turns;
}

// ismInit, the one call, ismExit, in the operation's turn. Nothing at all is
// called when the library or one of the three functions cannot be found. The
// functions are bound in a turn too, so no two threads bind at once.
template <typename Fn, typename... Args>
DeviceResult DeviceCall(LazyProc<Fn>& function, Args... args)
{
    if (!Turns().Take()) return {DeviceResult::Hung};
    const IsmInitFn init = ismInit.get();
    const IsmExitFn exit = ismExit.get();
    const Fn call = function.get();
    DeviceResult result{DeviceResult::NoLibrary};
    if (init && exit && call) {
        init();
        result = {DeviceResult::Answered, call(args...)};
        exit();
    }
    Turns().Give();
    return result;
}

unsigned Word(const DeviceVersionRecord& record, size_t offset)
{
    return record[offset] | (record[offset + 1] << 8);
}

std::uint8_t High(unsigned word) { return static_cast<std::uint8_t>(word >> 8); }
std::uint8_t Low(unsigned word) { return static_cast<std::uint8_t>(word & 0xFF); }

// The leading decimal number after blanks, 0 when there is none. The device
// writes the numbers, so a run of digits too long for 32 bits is held at the
// limit rather than wrapped.
std::int32_t LeadingNumber(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    const long long limit = static_cast<long long>(INT_MAX) + 1;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), limit);
    if (negative) return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(std::min(value, limit - 1));
}

// The number in the text before its first blank, that blank included; 0 when
// there is no blank.
std::int32_t NumberBeforeBlank(const std::string& text)
{
    const size_t blank = text.find(' ');
    return blank == std::string::npos ? 0 : LeadingNumber(text.substr(0, blank + 1));
}
}

const wchar_t DeviceLibraryMissingText[] = L"pieceif.dllが見つかりません.";

const wchar_t* NoCallText(const DeviceResult& result)
{
    return result.status == DeviceResult::Hung ? L"P/ECEが応答しません." : DeviceLibraryMissingText;
}

std::wstring TransferErrorText(int code)
{
    // The library says no more than its code; the user learns that the file
    // did not get there, and which code to look for.
    return L"転送失敗. エラーコード:" + std::to_wstring(code);
}

DeviceVersion DecodeDeviceVersion(const DeviceVersionRecord& record)
{
    const unsigned hardware = Word(record, 2);
    const unsigned bios = Word(record, 4);
    const unsigned date = Word(record, 6);
    DeviceVersion version;
    version.hardwareMajor = High(hardware);
    version.hardwareMinor = Low(hardware);
    version.biosMajor = High(bios);
    version.biosMinor = Low(bios);
    version.biosYear = static_cast<std::uint8_t>((date & 0xFE00) / 512);
    version.biosMonth = static_cast<std::uint8_t>((date & 0x01E0) / 32);
    version.biosDay = static_cast<std::uint8_t>(date & 0x001F);
    return version;
}

PffsFreeSpace ParsePffsListing(const std::string& listing)
{
    PffsFreeSpace space;
    const size_t end = listing.rfind('\n');
    if (end == std::string::npos) return space;
    const size_t before = end == 0 ? std::string::npos : listing.rfind('\n', end - 1);
    const size_t begin = before == std::string::npos ? 0 : before + 1;

    std::string line = listing.substr(begin, end - begin);
    const size_t text = line.find_first_not_of(' ');
    line.erase(0, text == std::string::npos ? line.size() : text);
    const size_t blank = line.find(' ');
    if (blank == std::string::npos) return space;
    space.sectors = NumberBeforeBlank(line);

    std::string rest = line.substr(blank + 1);
    const size_t paren = rest.find('(');
    if (paren != std::string::npos) rest.erase(0, paren + 1);
    space.bytes = NumberBeforeBlank(rest);
    return space;
}

DeviceResult GetDeviceVersion(DeviceVersion& version)
{
    DeviceVersionRecord record = {};
    record[0] = static_cast<unsigned char>(DeviceVersionRecordSize);
    const DeviceResult result = DeviceCall(ismGetVersion, static_cast<void*>(record.data()), 1);
    version = DecodeDeviceVersion(record);
    return result;
}

DeviceResult GetPffsListing(std::string& listing)
{
    // One byte more than offered, so the text is always terminated.
    char buffer[PffsListingSize + 1] = {};
    const DeviceResult result = DeviceCall(ismPFFSDir, buffer, PffsListingSize, 0);
    if (result && *result == 0) listing = buffer;
    return result;
}

DeviceResult GetPffsFreeSpace(PffsFreeSpace& space)
{
    std::string listing;
    const DeviceResult result = GetPffsListing(listing);
    if (result && *result == 0) space = ParsePffsListing(listing);
    return result;
}

std::wstring PffsFileName(const std::wstring& path)
{
    std::wstring name = path.substr(path.rfind(L'\\') + 1);
    if (!name.empty()) CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

DeviceResult WriteFileToPffs(const std::wstring& path)
{
    const std::string pffsName = ToAnsi(PffsFileName(path));
    const std::string pcPath = ToAnsi(path);
    return DeviceCall(ismPFFSWrite, pffsName.c_str(), pcPath.c_str());
}

DeviceResult WriteSrfToDevice(const std::wstring& path)
{
    const std::string srfPath = ToAnsi(path);
    return DeviceCall(ismWriteSrfFile, srfPath.c_str(), 1);
}

DeviceResult CaptureScreen(ScreenBuffer& screen)
{
    return DeviceCall(ismLCDCaptureScreen, screen.data(), ScreenBytes);
}
