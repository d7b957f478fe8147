#pragma once
// What the device jobs come to, worded once for every face: the lines that
// the host gets for INFO, FILETRANS and RUN, which the console program prints
// too, and the values and outcomes behind them. Nothing here reaches a window,
// the host or a console.
#include "pieceif.h"

#include <string>
#include <vector>

// How a device job ended, as far as a caller tells endings apart: done; no
// device found; no library (or it lacks a function); a call that hangs, or
// one before it; the library refused.
enum class DeviceOutcome { Done, NoDevice, NoLibrary, NoAnswer, Failed };

// What the user is told of an outcome; empty for Done and Failed, whose
// words are the job's own.
std::wstring OutcomeText(DeviceOutcome outcome);

// What INFO finds: the versions, then, when the device was found, the free space.
struct DeviceInfo {
    DeviceResult found;   // GetDeviceVersion's
    DeviceResult listed;  // GetPffsFreeSpace's; not asked when the device was not found
    DeviceVersion version;
    PffsFreeSpace space;  // zero when the listing failed
};
DeviceInfo ReadDeviceInfo();

// Done when INFO has its four values (a failed listing gives zero free space).
DeviceOutcome InfoOutcome(const DeviceInfo& info);
// INFO's first line, which goes out before the device is asked.
extern const wchar_t DeviceInfoHeading[];
// INFO's lines after its heading, each without its line end: the four values
// (or why there are none) and "---".
std::vector<std::wstring> DeviceInfoLines(const DeviceInfo& info);
// "1.2", "1.20": a version as INFO's lines show it.
std::wstring VersionText(unsigned major, unsigned minor);
// The BIOS date's year in full: its years count from 2000.
int BiosYear(const DeviceVersion& version);

// Whether the device is there: ismGetVersion's -1 says no device, any other
// answer that one is there.
DeviceOutcome AskPresence();
// The outcome of an operation that succeeded only when the library answered
// 0. For any other answer the device is asked whether it is there, as the
// live view asks: its meaning is known for no other value.
DeviceOutcome OperationOutcome(const DeviceResult& result);
// The outcome of a capture, as the live view takes one: whatever the library
// answered, the screen counts while the device is there, and for any answer
// but 0 it is asked whether it is.
DeviceOutcome CaptureOutcome(const DeviceResult& result);

// What FILETRANS reports of one file: "転送完了.", the error code's text, or
// why no call was made.
std::wstring TransferResultText(const DeviceResult& result);

// What RUN reports once the program went to the library: "P/ECEへデータ転送完了.",
// the failure and its code, or why no call was made.
std::vector<std::wstring> RunResultLines(const DeviceResult& result);
