#pragma once
// The console program's face: results go to standard output, messages to
// standard error. On a console, text is written with the console's wide
// functions, so Japanese shows whatever the console's code page; redirected to
// a file or a pipe, it is written in the ANSI code page.
#include <windows.h>

#include <string>

enum class Stream { Out, Err };

// `text` as it is: another program's output, with its own line ends.
void Write(Stream stream, const std::wstring& text);
// `text` as lines: its line breaks, and one at its end, as CRLF.
void WriteLine(Stream stream, const std::wstring& text);

// While one lives, Ctrl+C, Ctrl+Break and the console's close set its event
// instead of ending the program. A closing console ends the program only once
// the object goes: by then what it had to save is saved.
class StopRequest {
public:
    StopRequest();
    ~StopRequest();
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    HANDLE event() const;
};
