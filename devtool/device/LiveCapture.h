#pragma once
// The live view's captures: the device's screen taken again and again on a
// thread of its own, so a slow device never holds up the window, at the
// device's pace but at most 30 times a second. Each capture is one operation
// of the device layer, bracketed like any other. A device that hangs in a call
// holds up neither the window nor its closing: the device layer gives up on
// it, which ends the live view, and a thread still waiting when the window
// closes is left to end on its own.
#include "pieceif.h"

#include <windows.h>

#include <memory>

// The live view's pace: at most this many captures a second.
constexpr int LiveCapturesPerSecond = 30;

// Threads: the thread of the window that the news goes to makes a LiveCapture
// and calls Start, Stop, Running, Take and the destructor; no other thread
// calls them (Now aside), as the members are not locked. The capture thread runs Run alone:
// it reaches the window only by posting, the state it shares with it only
// under that state's lock, and the device only through the device layer,
// whose turn it shares with the window's own device calls.
class LiveCapture {
public:
    // What Take finds.
    enum class News { Nothing, Frame, NoLibrary, NoDevice };

    LiveCapture() = default;
    ~LiveCapture() { Stop(); }
    LiveCapture(const LiveCapture&) = delete;
    LiveCapture& operator=(const LiveCapture&) = delete;

    // Starts capturing; on the thread of `window`, which gets `message`
    // posted whenever news waits for Take. Frames are drawn on its thread,
    // where drawing reaches the screen at once.
    void Start(HWND window, UINT message);
    // Returns once no capture runs any more, after half a second at most: a
    // call that hangs in the library is not waited for. The news not yet
    // taken is dropped.
    void Stop();
    bool Running() const { return static_cast<bool>(shared_); }
    // The latest frame and the time it was captured (milliseconds on a clock
    // that never goes back), when one came since the last Take; the frames
    // between are dropped, never queued. NoLibrary and NoDevice: capturing has
    // ended (a call that hung, too: the device layer answered Hung).
    News Take(ScreenBuffer& screen, long long& ms);

    // Any thread.
    static long long Now();

private:
    // What the capture thread and the window share, under its lock; the
    // thread keeps it for as long as it runs, which may be longer than this
    // object.
    struct Shared;
    static void Run(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> shared_;
};
