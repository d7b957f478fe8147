#pragma once
// pieceif: the only way to the P/ECE. Every operation opens the device library,
// makes one call and closes it again, so no connection outlives an operation.
#include "LazyProc.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// pieceif.dll, bound by its decorated names at the first call.
using IsmInitFn = int(WINAPI*)();
using IsmExitFn = int(WINAPI*)();
using IsmGetVersionFn = int(WINAPI*)(void* record, int kind);
using IsmPffsDirFn = int(WINAPI*)(char* buffer, int size, int kind);
using IsmPffsWriteFn = int(WINAPI*)(const char* pffsName, const char* pcPath);
using IsmWriteSrfFileFn = int(WINAPI*)(const char* srfPath, int kind);
using IsmLcdCaptureScreenFn = int(WINAPI*)(unsigned char* buffer, int size);

extern LazyProc<IsmInitFn> ismInit;
extern LazyProc<IsmExitFn> ismExit;
extern LazyProc<IsmGetVersionFn> ismGetVersion;
extern LazyProc<IsmPffsDirFn> ismPFFSDir;
extern LazyProc<IsmPffsWriteFn> ismPFFSWrite;
extern LazyProc<IsmWriteSrfFileFn> ismWriteSrfFile;
extern LazyProc<IsmLcdCaptureScreenFn> ismLCDCaptureScreen;

// ismInit, the one call, ismExit. Nothing at all is called, and nothing comes
// back, when the library or one of the three functions cannot be found.
template <typename Fn, typename... Args>
std::optional<int> DeviceCall(LazyProc<Fn>& function, Args... args)
{
    const IsmInitFn init = ismInit.get();
    const IsmExitFn exit = ismExit.get();
    const Fn call = function.get();
    if (!init || !exit || !call) return std::nullopt;
    init();
    const int result = call(args...);
    exit();
    return result;
}

// What the device verbs say instead of their results when the library is missing.
extern const wchar_t DeviceLibraryMissingText[];

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

DeviceVersion DecodeDeviceVersion(const DeviceVersionRecord& record);

// The free space from the summary, the last line that ends with a line feed.
// A listing without any line feed has no summary and gives 0 and 0.
PffsFreeSpace ParsePffsListing(const std::string& listing);

// The wrappers: the library's result unchanged, nothing when it is missing.
std::optional<int> GetDeviceVersion(DeviceVersion& version);
// False when the library is missing; `space` changes only when a listing came back.
bool GetPffsFreeSpace(PffsFreeSpace& space);
// The device file is named after the path's last part, lower-cased.
std::optional<int> WriteFileToPffs(const std::wstring& path);
std::optional<int> WriteSrfToDevice(const std::wstring& path);

// The device file name WriteFileToPffs gives the file at `path`.
std::wstring PffsFileName(const std::wstring& path);

// The texts of the transfer error codes 1000 to 1007, by code - 1000.
constexpr int FirstTransferError = 1000;
constexpr int TransferErrorCount = 8;
extern const wchar_t* const TransferErrorText[TransferErrorCount];
