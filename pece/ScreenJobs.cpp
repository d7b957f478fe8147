// shot and record: the device's screen into a picture file, once or as it moves.
#include "Commands.h"
#include "Console.h"
#include "Jobs.h"

#include "FileBytes.h"
#include "LiveCapture.h"
#include "PictureFile.h"
#include "PubFnc.h"
#include "Recording.h"

#include <algorithm>
#include <cmath>

namespace {
std::wstring SizeText(int scale)
{
    return std::to_wstring(ScreenWidth * scale) + L"×" + std::to_wstring(ScreenHeight * scale);
}

// A capture, as the live view takes it.
DeviceOutcome Capture(ScreenBuffer& screen)
{
    screen.fill(0);
    return CaptureOutcome(CaptureScreen(screen));
}

int WriteFailed(const std::wstring& file)
{
    WriteLine(Stream::Err, file + L"への書き込みに失敗しました");
    return FileFailed;
}
}

int Shot(const Invocation& invocation)
{
    const std::wstring& file = invocation.files.front();
    const std::optional<std::wstring> path = FileToWrite(file);
    if (!path) return FileFailed;
    // As the live view, the device is asked whether it is there first.
    ScreenBuffer screen;
    DeviceOutcome outcome = AskPresence();
    if (outcome == DeviceOutcome::Done) outcome = Capture(screen);
    if (outcome != DeviceOutcome::Done) return DeviceFailure(outcome, L"");
    // The command line has a picture's extension, so there is a type.
    const PictureType type = PictureTypeOf(FileExtension(file)).value_or(PictureType::Bitmap);
    const std::string bytes =
        PictureFileBytes(type, ScaledFrame(screen.data(), ScreenWidth, ScreenHeight, invocation.scale));
    // The old file stays until the new one is written whole.
    if (bytes.empty() || !ReplaceFileBytes(*path, bytes)) return WriteFailed(file);
    WriteLine(Stream::Out, L"保存しました: " + file + L" (" + SizeText(invocation.scale) + L")");
    return Done;
}

int Record(const Invocation& invocation)
{
    const std::wstring& file = invocation.files.front();
    const std::optional<std::wstring> path = FileToWrite(file);
    if (!path) return FileFailed;
    Recording recording(ScreenWidth * invocation.scale, ScreenHeight * invocation.scale);
    if (!recording) {
        WriteLine(Stream::Err, L"録画用の一時ファイルを作成できませんでした");
        return FileFailed;
    }
    if (const DeviceOutcome presence = AskPresence(); presence != DeviceOutcome::Done)
        return DeviceFailure(presence, L"");

    // Captures on a grid of 1/30 s from the start; a device slower than the
    // grid sets the pace itself. The recording ends after its seconds, or
    // when Ctrl+C, Ctrl+Break or the console's close come (a capture in
    // flight first comes back), or the device goes, or the temporary disk is
    // full; what was recorded is saved in every case.
    const StopRequest stop;
    const long long start = LiveCapture::Now();
    const long long end = invocation.seconds ? start + std::llround(*invocation.seconds * 1000) : 0;
    long long frames = 0, firstMs = 0, lastMs = start, slot = 0;
    int code = Done;
    for (;;) {
        const long long due = start + slot * 1000 / LiveCapturesPerSecond;
        const long long until = end ? std::min(end, due) : due;
        const long long now = LiveCapture::Now();
        if (WaitForSingleObject(stop.event(), until > now ? static_cast<DWORD>(until - now) : 0) == WAIT_OBJECT_0) {
            lastMs = std::max(lastMs, LiveCapture::Now());
            break;
        }
        if (end && LiveCapture::Now() >= end) {
            lastMs = std::max(lastMs, end);
            break;
        }
        ScreenBuffer screen;
        const DeviceOutcome outcome = Capture(screen);
        lastMs = LiveCapture::Now();
        if (outcome != DeviceOutcome::Done) {
            code = DeviceFailure(outcome, L"");
            break;
        }
        if (!recording.Add(ScaledFrame(screen.data(), ScreenWidth, ScreenHeight, invocation.scale), lastMs)) {
            WriteLine(Stream::Err, L"録画を一時ファイルに書き込めなくなりました. それまでの録画を保存します.");
            code = FileFailed;
            break;
        }
        if (frames++ == 0) firstMs = lastMs;
        slot = std::max(slot + 1, (lastMs - start) * LiveCapturesPerSecond / 1000 + 1);
    }

    if (recording.Empty()) {
        WriteLine(Stream::Err, L"録画したフレームがないので保存しませんでした");
        return code == Done ? FileFailed : code;
    }
    if (!recording.Finish(lastMs) || !recording.SaveAs(*path)) return WriteFailed(file);
    const long long tenths = (lastMs - firstMs + 50) / 100;
    WriteLine(Stream::Out, L"録画を保存しました: " + file + L" (" + SizeText(invocation.scale) + L", " +
                               std::to_wstring(frames) + L"フレーム, " + std::to_wstring(tenths / 10) + L"." +
                               std::to_wstring(tenths % 10) + L"秒)");
    return code;
}
