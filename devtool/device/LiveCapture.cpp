// The capture thread, its pace, and the hand-over of the latest frame.
#include "LiveCapture.h"

#include <chrono>

namespace {
using Clock = std::chrono::steady_clock;
constexpr auto Period = std::chrono::microseconds(1000000 / 30);
}

long long LiveCapture::Now()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

void LiveCapture::Start(HWND window, UINT message)
{
    Stop();
    stop_ = false;
    news_ = News::Nothing;
    worker_ = std::thread([this, window, message] { Run(window, message); });
}

void LiveCapture::Stop()
{
    if (!worker_.joinable()) return;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        stop_ = true;
    }
    wake_.notify_all();
    worker_.join();
    news_ = News::Nothing;
}

LiveCapture::News LiveCapture::Take(ScreenBuffer& screen, long long& ms)
{
    const std::lock_guard<std::mutex> hold(lock_);
    const News news = news_;
    if (news == News::Frame) {
        screen = latest_;
        ms = latestMs_;
    }
    if (news != News::NoLibrary && news != News::NoDevice) news_ = News::Nothing;
    return news;
}

void LiveCapture::Tell(News news, const ScreenBuffer& screen, HWND window, UINT message)
{
    bool waiting;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        waiting = news_ != News::Nothing;
        news_ = news;
        latest_ = screen;
        latestMs_ = Now();
    }
    if (!waiting) PostMessageW(window, message, 0, 0);
}

void LiveCapture::Run(HWND window, UINT message)
{
    ScreenBuffer screen = {};
    // Captures start on a grid of 1/30 s, so a coarse timer's late wake-ups
    // are made up by the next ones; a device slower than the grid sets the
    // pace itself.
    Clock::time_point due = Clock::now();
    for (;;) {
        {
            std::unique_lock<std::mutex> hold(lock_);
            if (wake_.wait_until(hold, due, [this] { return stop_; })) return;
        }
        screen.fill(0);
        const DeviceResult result = CaptureScreen(screen);
        if (!result || *result != 0) {
            Tell(result.status == DeviceResult::NoLibrary ? News::NoLibrary : News::NoDevice, screen, window, message);
            return;
        }
        Tell(News::Frame, screen, window, message);
        due += Period;
        if (due < Clock::now() - Period) due = Clock::now();
    }
}
