// The capture thread, its pace, and the hand-over of the latest frame.
#include "LiveCapture.h"

#include "DeviceReports.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;
constexpr auto Period = std::chrono::microseconds(1000000 / LiveCapturesPerSecond);
// How long closing the window waits for the capture in flight; a call that
// hangs is left to come back, or to the device layer to give up on.
constexpr auto StopPatience = std::chrono::milliseconds(500);

// Nothing while the device is there; else why the live view ends. A device
// that does not answer is gone too.
LiveCapture::News Absence(DeviceOutcome outcome)
{
    if (outcome == DeviceOutcome::Done) return LiveCapture::News::Nothing;
    return outcome == DeviceOutcome::NoLibrary ? LiveCapture::News::NoLibrary : LiveCapture::News::NoDevice;
}
}

struct LiveCapture::Shared {
    HWND window = nullptr;
    UINT message = 0;
    std::mutex lock;
    std::condition_variable wake;  // the stop for the thread, the thread's end for Stop
    bool stop = false;
    bool ended = false;
    News news = News::Nothing;
    ScreenBuffer latest = {};
    long long latestMs = 0;

    // Keeps `what`, of time `ms`, for Take and posts when nothing was waiting
    // yet; a stopped view tells nothing, as its window may be gone.
    void Tell(News what, const ScreenBuffer& screen, long long ms)
    {
        bool waiting = false;
        {
            const std::lock_guard<std::mutex> hold(lock);
            if (stop) return;
            waiting = news != News::Nothing;
            news = what;
            latest = screen;
            latestMs = ms;
        }
        if (!waiting) PostMessageW(window, message, 0, 0);
    }
};

long long LiveCapture::Now()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

void LiveCapture::Start(HWND window, UINT message)
{
    Stop();
    shared_ = std::make_shared<Shared>();
    shared_->window = window;
    shared_->message = message;
    std::thread(Run, shared_).detach();
}

void LiveCapture::Stop()
{
    if (!shared_) return;
    {
        std::unique_lock<std::mutex> hold(shared_->lock);
        shared_->stop = true;
        shared_->wake.notify_all();
        shared_->wake.wait_for(hold, StopPatience, [this] { return shared_->ended; });
    }
    shared_.reset();
}

LiveCapture::News LiveCapture::Take(ScreenBuffer& screen, long long& ms)
{
    if (!shared_) return News::Nothing;
    const std::lock_guard<std::mutex> hold(shared_->lock);
    const News news = shared_->news;
    if (news == News::Frame) {
        screen = shared_->latest;
        ms = shared_->latestMs;
        shared_->news = News::Nothing;
    }
    return news;
}

void LiveCapture::Run(const std::shared_ptr<Shared>& shared)
{
    ScreenBuffer screen = {};
    News gone = Absence(AskPresence());
    // Captures start on a grid of 1/30 s, so a coarse timer's late wake-ups
    // are made up by the next ones; a device slower than the grid sets the
    // pace itself.
    Clock::time_point due = Clock::now();
    while (gone == News::Nothing) {
        {
            std::unique_lock<std::mutex> hold(shared->lock);
            if (shared->wake.wait_until(hold, due, [&] { return shared->stop; })) break;
        }
        screen.fill(0);
        const DeviceResult result = CaptureScreen(screen);
        // The frame's time is its capture's, not its telling's: the question
        // whether the device is there may wait behind the window's own
        // capture of a newer screen.
        const long long captured = Now();
        gone = Absence(CaptureOutcome(result));
        if (gone == News::Nothing) shared->Tell(News::Frame, screen, captured);
        due += Period;
        if (due < Clock::now() - Period) due = Clock::now();
    }
    if (gone != News::Nothing) shared->Tell(gone, screen, Now());
    const std::lock_guard<std::mutex> hold(shared->lock);
    shared->ended = true;
    shared->wake.notify_all();
}
