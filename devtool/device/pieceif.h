#pragma once
// pieceif: the only way to the P/ECE. The device library is loaded at the
// first call and stays loaded; every operation brackets its one call with
// ismInit and ismExit, so no connection to the device outlives an operation.
//
// Threads: any thread may call, and the window's, the live view's capture
// thread and the verbs' do. Each operation runs on a thread of its own,
// which takes the device's turn, binds the functions, calls ismInit, the one
// call and ismExit, and gives the turn back; the caller waits for it,
// dispatching its own thread's messages meanwhile, so a window on that thread
// goes on painting; its handlers may run too, so a window calls from a job,
// which keeps it shut to input (Window::RunJob). The
// turn is this program's, in the order its operations come, so a capture
// clicked during the live view waits for one call, not for all that follow;
// then the session's, shared by every program of this device layer through a
// named mutex, so two programs never interleave their brackets. A turn that
// does not come within DeviceHangMs, or a call that has not come back
// DeviceHangMs after its turn came, answers Hung. The operation's thread has
// copies of the arguments and buffers, and the caller copies the results
// back only when the call answered in time: a call left hanging in the
// library writes into nothing of the caller's, holds the turn until it
// returns (no second bracket starts on a device still in a call), and is
// otherwise left to the end of the process. A program that ends during its
// turn leaves the turn free for the others.
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

// What the device verbs say instead of their results when the library is missing.
extern const wchar_t DeviceLibraryMissingText[];

// A call that has not come back this long after its turn came is taken to
// hang (a cable pulled in the middle of a transfer); an operation that has
// waited this long for its turn gives up too.
constexpr int DeviceHangMs = 3000;

// What one operation came to: the library's result, or why no call was made.
struct DeviceResult {
    enum Status { Answered, NoLibrary, Hung };
    Status status = Answered;
    int value = 0;  // the library's result, when answered
    explicit operator bool() const { return status == Answered; }
    int operator*() const { return value; }
};

// Why an operation made no call, as the user is told.
const wchar_t* NoCallText(const DeviceResult& result);

// The record ismGetVersion fills: little-endian words at the start, the rest
// belongs to the library.
constexpr size_t DeviceVersionRecordSize = 32;
using DeviceVersionRecord = std::array<unsigned char, DeviceVersionRecordSize>;

struct DeviceVersion {
    std::uint8_t hardwareMajor = 0;
    std::uint8_t hardwareMinor = 0;
    std::uint8_t biosMajor = 0;
    std::uint8_t biosMinor = 0;
    std::uint8_t biosYear = 0;  // years since 2000
    std::uint8_t biosMonth = 0;
    std::uint8_t biosDay = 0;
};

// Free sectors are kept in 32 bits: a large flash is reported as it is.
struct PffsFreeSpace {
    std::int32_t sectors = 0;
    std::int32_t bytes = 0;
};

constexpr int PffsListingSize = 4096;
constexpr int ScreenWidth = 128;
constexpr int ScreenHeight = 88;
constexpr int ScreenBytes = ScreenWidth * ScreenHeight;

// The device's screen, one byte a pixel (a grey level from 0, white, to 3,
// black), rows from the top, each row from the left.
using ScreenBuffer = std::array<unsigned char, ScreenBytes>;

DeviceVersion DecodeDeviceVersion(const DeviceVersionRecord& record);

// The free space from the summary, the last line that ends with a line feed.
// A listing without any line feed has no summary and gives 0 and 0.
PffsFreeSpace ParsePffsListing(const std::string& listing);

// The wrappers: the library's result unchanged, or why no call was made.
DeviceResult GetDeviceVersion(DeviceVersion& version);
// The listing of the flash file system as the library gives it, up to its
// first zero byte; `listing` changes only when one came back.
DeviceResult GetPffsListing(std::string& listing);
// `space` changes only when a listing came back.
DeviceResult GetPffsFreeSpace(PffsFreeSpace& space);
// The device file is named after the path's last part, lower-cased.
DeviceResult WriteFileToPffs(const std::wstring& path);
DeviceResult WriteSrfToDevice(const std::wstring& path);
// Copies the device's screen into `screen`: the library's result (without a
// device the buffer is left as it was).
DeviceResult CaptureScreen(ScreenBuffer& screen);

// The device file name WriteFileToPffs gives the file at `path`.
std::wstring PffsFileName(const std::wstring& path);

// What a transfer that the library refused with `code` reports.
std::wstring TransferErrorText(int code);
