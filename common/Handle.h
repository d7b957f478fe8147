#pragma once
// One owner for a kernel handle (file, pipe, process, thread): closed once,
// when its owner goes, or earlier by Close().
#include <windows.h>

class Handle {
public:
    Handle() = default;
    // INVALID_HANDLE_VALUE, the failure of CreateFile, is held as no handle.
    explicit Handle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : handle_(other.release()) {}
    Handle& operator=(Handle&& other) noexcept
    {
        if (this != &other) {
            Close();
            handle_ = other.release();
        }
        return *this;
    }
    ~Handle() { Close(); }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // For functions that hand a new handle back through a pointer.
    HANDLE* put()
    {
        Close();
        return &handle_;
    }
    HANDLE release()
    {
        HANDLE handle = handle_;
        handle_ = nullptr;
        return handle;
    }
    // The platform's answer: closing a written file can be where a write fails.
    bool Close()
    {
        HANDLE handle = release();
        return !handle || CloseHandle(handle);
    }

private:
    HANDLE handle_ = nullptr;
};
