// The device library's functions, the device's turn, each operation's thread
// with the ismInit/ismExit bracket around its call, and the decoding of what
// the library gives back.
#include "pieceif.h"

#include "Ansi.h"
#include "Handle.h"
#include "LazyProc.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
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

// The device's turn, first among this program's operations, in the order
// they come, so a capture clicked during the live view waits for the capture
// in flight, not for the next ones as well; then among every program's,
// through a mutex of the session that the thread with the turn holds. The
// mutex keeps no order, so the queue stays. An operation that has not had
// both within DeviceHangMs gives up: the call before it hangs.
class DeviceTurns {
public:
    bool Take()
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(DeviceHangMs);
        {
            std::unique_lock<std::mutex> hold(lock_);
            const unsigned long long ticket = next_++;
            queue_.push_back(ticket);
            if (!wake_.wait_until(hold, deadline, [&] { return queue_.front() == ticket; })) {
                queue_.erase(std::find(queue_.begin(), queue_.end(), ticket));
                return false;
            }
        }
        // Where the mutex could not be had (its name taken by another kind
        // of object), this program's order is all there is. A program that
        // ended in its turn left the mutex abandoned: the turn is free.
        if (!programs_) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        const DWORD got = WaitForSingleObject(programs_.get(), static_cast<DWORD>(std::max<long long>(left, 0)));
        if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) return true;
        Next();
        return false;
    }
    // On the thread that took the turn.
    void Give()
    {
        if (programs_) ReleaseMutex(programs_.get());
        Next();
    }

private:
    using Clock = std::chrono::steady_clock;
    void Next()
    {
        {
            const std::lock_guard<std::mutex> hold(lock_);
            queue_.pop_front();
        }
        wake_.notify_all();
    }

    Handle programs_{CreateMutexW(nullptr, FALSE, L"Local\\PieceDeviceTurn")};
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<unsigned long long> queue_;  // the tickets waiting; the first has the turn
    unsigned long long next_ = 0;
};

// Never destroyed: a call left hanging in the library when the program ends
// still holds the turn, and may come back while the program's objects go.
DeviceTurns& Turns()
{
    static DeviceTurns& turns = *new DeviceTurns;
    return turns;
}

// What an operation's thread and its caller share. The caller may leave
// before the thread ends, so both hold it.
struct Operation {
    explicit Operation(std::function<DeviceResult()> bracket) : call(std::move(bracket)) {}
    const std::function<DeviceResult()> call;
    const Handle hasTurn{CreateEventW(nullptr, TRUE, FALSE, nullptr)};  // set too when the turn never came
    const Handle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    DeviceResult result{DeviceResult::Hung};  // the thread's, until `done` is set
};

void RunOperation(const std::shared_ptr<Operation>& operation)
{
    if (Turns().Take()) {
        SetEvent(operation->hasTurn.get());
        operation->result = operation->call();
        Turns().Give();
    }
    SetEvent(operation->done.get());
    SetEvent(operation->hasTurn.get());
}

// Waits at most `ms` for `event`, dispatching this thread's messages
// meanwhile; false when the time ran out first.
bool WaitDispatching(HANDLE event, DWORD ms)
{
    const ULONGLONG deadline = GetTickCount64() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const ULONGLONG now = GetTickCount64();
        const DWORD left = ms == INFINITE ? INFINITE : now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        const DWORD woke = MsgWaitForMultipleObjects(1, &event, FALSE, left, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1) return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
    }
}

// `bracket` in the device's turn, on a thread of its own; Hung when the turn
// did not come, or the call did not come back in time.
DeviceResult InTurn(std::function<DeviceResult()> bracket)
{
    const auto operation = std::make_shared<Operation>(std::move(bracket));
    if (!operation->hasTurn || !operation->done) return {DeviceResult::Hung};
    std::thread(RunOperation, operation).detach();
    WaitDispatching(operation->hasTurn.get(), INFINITE);
    if (!WaitDispatching(operation->done.get(), DeviceHangMs)) return {DeviceResult::Hung};
    return operation->result;
}

// ismInit, `call` with the library's function, ismExit, in the operation's
// turn. Nothing at all is called when the library or one of the three
// functions cannot be found. The functions are bound in a turn too, so no two
// threads bind at once. `call` holds what the library works on.
template <typename Fn, typename Call>
DeviceResult DeviceCall(LazyProc<Fn>& function, Call call)
{
    return InTurn([&function, call] {
        const IsmInitFn init = ismInit.get();
        const IsmExitFn exit = ismExit.get();
        const Fn fn = function.get();
        if (!init || !exit || !fn) return DeviceResult{DeviceResult::NoLibrary};
        init();
        const DeviceResult result{DeviceResult::Answered, call(fn)};
        exit();
        return result;
    });
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
    auto record = std::make_shared<DeviceVersionRecord>();
    (*record)[0] = static_cast<unsigned char>(DeviceVersionRecordSize);
    const DeviceResult result =
        DeviceCall(ismGetVersion, [record](IsmGetVersionFn get) { return get(record->data(), 1); });
    version = DecodeDeviceVersion(result ? *record : DeviceVersionRecord{});
    return result;
}

DeviceResult GetPffsListing(std::string& listing)
{
    // One byte more than offered, so the text is always terminated.
    auto buffer = std::make_shared<std::array<char, PffsListingSize + 1>>();
    const DeviceResult result =
        DeviceCall(ismPFFSDir, [buffer](IsmPffsDirFn dir) { return dir(buffer->data(), PffsListingSize, 0); });
    if (result && *result == 0) listing = buffer->data();
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
    return DeviceCall(ismPFFSWrite, [pffsName = ToAnsi(PffsFileName(path)), pcPath = ToAnsi(path)](IsmPffsWriteFn write) {
        return write(pffsName.c_str(), pcPath.c_str());
    });
}

DeviceResult WriteSrfToDevice(const std::wstring& path)
{
    return DeviceCall(ismWriteSrfFile,
                      [srfPath = ToAnsi(path)](IsmWriteSrfFileFn write) { return write(srfPath.c_str(), 1); });
}

DeviceResult CaptureScreen(ScreenBuffer& screen)
{
    auto shot = std::make_shared<ScreenBuffer>(screen);
    const DeviceResult result =
        DeviceCall(ismLCDCaptureScreen, [shot](IsmLcdCaptureScreenFn capture) { return capture(shot->data(), ScreenBytes); });
    if (result) screen = *shot;
    return result;
}
