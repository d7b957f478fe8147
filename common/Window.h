#pragma once
// A thin base for the programs' top-level windows: class registration, the
// window-to-object link, controls placed in twips, and modal showing.
#include <windows.h>

#include <string>

// Twips to pixels of the screen (15 twips a pixel at 96 dots an inch).
int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }

    // Creates the (hidden) window with a client area of the given size in twips
    // and runs Form_Load. False when the window could not be made.
    bool Load(const wchar_t* className, const std::wstring& caption, int clientWidthTwips,
              int clientHeightTwips, HWND owner);
    // Shows the window modal over `owner` (may be null) and returns once it is gone.
    // Keys are handled as in a dialog: Tab moves between controls, Enter sends
    // WM_COMMAND IDOK and Esc WM_COMMAND IDCANCEL, so control ids start above them.
    void ShowModal(HWND owner);
    // Destroys the window; a modal loop showing it then returns.
    void Unload();

protected:
    virtual void Form_Load() {}
    // Called for every message; return true with `result` set to handle it.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // A child control at a position in twips, in the window's message font.
    HWND AddControl(const wchar_t* className, const std::wstring& text, DWORD style, int id,
                    int left, int top, int width, int height, DWORD exStyle = 0);
    void CenterOnScreen();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};

std::wstring WindowText(HWND window);
