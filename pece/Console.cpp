// Writing to standard output and standard error, and the console's stop events.
#include "Console.h"

#include "Ansi.h"

#include <algorithm>

namespace {
HANDLE StandardHandle(Stream stream)
{
    return GetStdHandle(stream == Stream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

// A console takes at most some tens of thousands of characters in one call.
constexpr size_t ConsolePiece = 8192;

void WriteConsoleText(HANDLE console, const std::wstring& text)
{
    for (size_t at = 0; at < text.size();) {
        size_t n = std::min(ConsolePiece, text.size() - at);
        // A surrogate pair stays whole.
        if (at + n < text.size() && IS_HIGH_SURROGATE(text[at + n - 1])) --n;
        DWORD written = 0;
        if (!WriteConsoleW(console, text.data() + at, static_cast<DWORD>(n), &written, nullptr) || written == 0) return;
        at += written;
    }
}

// A reader that went away (a pipe closed early) is no failure of the job:
// what it no longer takes is dropped.
void WriteBytes(HANDLE file, const std::string& bytes)
{
    for (size_t at = 0; at < bytes.size();) {
        DWORD written = 0;
        const DWORD n = static_cast<DWORD>(std::min<size_t>(bytes.size() - at, 1u << 20));
        if (!WriteFile(file, bytes.data() + at, n, &written, nullptr) || written == 0) return;
        at += written;
    }
}

HANDLE stopEvent = nullptr;   // set by a stop event of the console
HANDLE endedEvent = nullptr;  // set once the program may end

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    SetEvent(stopEvent);
    // The system ends a process whose handler returns from a close; it
    // waits a few seconds for that, in which the recording is saved.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) WaitForSingleObject(endedEvent, INFINITE);
    return TRUE;
}
}

void Write(Stream stream, const std::wstring& text)
{
    const HANDLE handle = StandardHandle(stream);
    DWORD mode = 0;
    if (text.empty() || !handle || handle == INVALID_HANDLE_VALUE) return;
    if (GetConsoleMode(handle, &mode))
        WriteConsoleText(handle, text);
    else
        WriteBytes(handle, ToAnsi(text));
}

void WriteLine(Stream stream, const std::wstring& text)
{
    std::wstring lines;
    lines.reserve(text.size() + 2);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            lines += L"\r\n";
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else {
            lines += text[i];
        }
    }
    Write(stream, lines + L"\r\n");
}

StopRequest::StopRequest()
{
    if (!stopEvent) stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!endedEvent) endedEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

StopRequest::~StopRequest()
{
    // A handler waiting for the end may now let the system end the program;
    // the events stay, as it may still run.
    SetEvent(endedEvent);
    SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
}

HANDLE StopRequest::event() const { return stopEvent; }
