#pragma once
// The live view's captures: the device's screen taken again and again on a
// thread of its own, so a slow device never holds up the window, at the
// device's pace but at most 30 times a second. Each capture is one operation
// of the device layer, opened and closed like any other.
#include "pieceif.h"

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <thread>

class LiveCapture {
public:
    // What Take finds.
    enum class News { Nothing, Frame, NoLibrary, NoDevice };

    LiveCapture() = default;
    ~LiveCapture() { Stop(); }
    LiveCapture(const LiveCapture&) = delete;
    LiveCapture& operator=(const LiveCapture&) = delete;

    // Starts capturing. `window` gets `message` posted whenever news waits for
    // Take; frames are drawn on its thread, where drawing reaches the screen
    // at once.
    void Start(HWND window, UINT message);
    // Returns once no capture runs any more; the news not yet taken is dropped.
    void Stop();
    bool Running() const { return worker_.joinable(); }
    // The latest frame and the time it came (milliseconds on a clock that
    // never goes back), when one came since the last Take; the frames between
    // are dropped, never queued. NoLibrary and NoDevice: capturing has ended.
    News Take(ScreenBuffer& screen, long long& ms);

    static long long Now();

private:
    void Run(HWND window, UINT message);
    // Keeps `news` for Take and posts when nothing was waiting yet.
    void Tell(News news, const ScreenBuffer& screen, HWND window, UINT message);

    std::thread worker_;
    std::mutex lock_;
    std::condition_variable wake_;
    bool stop_ = false;
    News news_ = News::Nothing;
    ScreenBuffer latest_ = {};
    long long latestMs_ = 0;
};
