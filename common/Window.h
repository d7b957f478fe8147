#pragma once
// A thin base for the programs' top-level windows: class registration, the
// window-to-object link, messages decoded once into handlers, controls placed
// in twips from one table per window at the window's own DPI, modal showing,
// focus kept as a dialog keeps it, and jobs during which the window takes no
// input.
#include <windows.h>

#include <cstddef>
#include <string>
#include <type_traits>

std::wstring WindowText(HWND window);

// How a control follows the window's edges when the user makes the window
// larger than its design: a set of these, none for a control that stays.
enum Follows : unsigned char {
    MovesRight = 1,  // by what the window grew in width
    MovesDown = 2,
    GrowsWide = 4,
    GrowsTall = 8,
    AtRight = MovesRight,
    AtBottom = MovesDown,
    AtBottomRight = MovesRight | MovesDown,
    Fills = GrowsWide | GrowsTall,
};

// A rectangle in twips, as a window's design gives it, and how it follows
// the window when that grows.
struct Twips {
    int left, top, width, height;
    unsigned char follows = 0;
};

class Window;

// The handler of a control's event, a member of its form named in the
// control's row: of a click, &Form2::Command1_Click, or of a control array's
// click, which gets the member's index: {&Form6::Command1_Click, 2} runs
// Command1_Click(2); of an owner-drawn control's paint, &Form7::Picture1_Paint.
class Handler {
public:
    constexpr Handler() = default;
    template <typename Form>
    constexpr Handler(void (Form::*click)());
    template <typename Form>
    constexpr Handler(void (Form::*click)(int index), int index);
    template <typename Form>
    constexpr Handler(void (Form::*paint)(const DRAWITEMSTRUCT& item));

    // Each runs the handler of its event, if this is one: true when it ran.
    bool Click(Window& form) const;
    bool Paint(Window& form, const DRAWITEMSTRUCT& item) const;

private:
    void (Window::*click_)() = nullptr;
    void (Window::*indexed_)(int) = nullptr;
    int index_ = 0;
    void (Window::*paint_)(const DRAWITEMSTRUCT&) = nullptr;
};

// A key that clicks a control as well: a virtual key with any of FCONTROL,
// FSHIFT and FALT. It acts while the window is active and its modal loop runs.
struct Key {
    BYTE modifiers = 0;
    WORD code = 0;
    explicit constexpr operator bool() const { return code != 0; }
    constexpr bool operator==(Key other) const { return modifiers == other.modifiers && code == other.code; }
};

// Esc clicks the control whose key it is, as a dialog's cancel button.
constexpr Key Esc = {0, VK_ESCAPE};

// Where a form keeps a control that its code reaches, filled as the control
// is made: Held<&Form6::Text1>, or for a control array's member
// Held<&Form6::Text2, 1>. The member is an HWND or a TextBox, or an array of them.
using Slot = void (*)(Window& form, HWND control);
template <auto member, int index = 0>
void Hold(Window& form, HWND control);
template <auto member, int index = 0>
constexpr Slot Held = &Hold<member, index>;

// One child control of a window: each window declares all of its controls in
// one table, in tab order, which its load step creates. A row gives the
// control's class, caption, style, place and extended style, then what the
// form does with it: the handler of its click (or paint), the key that clicks
// it too and the member that holds it, each where it has one. Its id comes
// from its place in the table.
struct Control {
    const wchar_t* cls;
    const wchar_t* caption;
    DWORD style;  // WS_CHILD | WS_VISIBLE come with every control
    Twips twips;
    DWORD exStyle = 0;
    Handler handler = {};
    Key key = {};
    Slot held = nullptr;
};

// The styles of the usual controls.
constexpr DWORD ButtonStyle = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD TextBoxStyle = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD LabelStyle = SS_LEFT;

// A window's table of controls.
struct ControlTable {
    const Control* first = nullptr;
    std::size_t count = 0;
    const Control* begin() const { return first; }
    const Control* end() const { return first + count; }
};

// A text box: its text, read and set whole.
class TextBox {
public:
    TextBox() = default;
    explicit TextBox(HWND control) : hwnd_(control) {}
    HWND hwnd() const { return hwnd_; }
    std::wstring Text() const { return WindowText(hwnd_); }
    void SetText(const std::wstring& text) const { SetWindowTextW(hwnd_, text.c_str()); }

private:
    HWND hwnd_ = nullptr;
};

// Whether the user may size the window by its border and maximise it; it is
// never smaller than its design.
enum class Sizing { Fixed, Sizable };

// How SetLeastGrowth treats a window larger than the least size it sets.
enum class Fit { Grow, Exactly };

class Window {
public:
    // The window class, the first caption and the client area in twips.
    Window(const wchar_t* className, const wchar_t* caption, int clientWidthTwips, int clientHeightTwips,
           Sizing sizing = Sizing::Fixed);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // A window still there is cut off from this object before it is destroyed,
    // so no message reaches a half-destroyed form.
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }
    // Dots an inch of the monitor the window is on; 1440 twips make an inch.
    int dpi() const { return dpi_; }

    // Creates the (hidden) window and runs Form_Load. False when the window
    // could not be made.
    bool Load(HWND owner);
    // Shows the window modal over `owner` (may be null) and returns once it is
    // gone. The first control in tab order has the focus. Keys are handled as
    // in a dialog: Tab moves between controls, Enter sends WM_COMMAND IDOK and
    // Esc WM_COMMAND IDCANCEL, so control ids start above them.
    void ShowModal(HWND owner);
    // Load, centre on the screen, ShowModal. A window that cannot be made is
    // said in a box over `owner`.
    void ShowCenteredModal(HWND owner);
    // Runs Form_QueryUnload and destroys the window; a modal loop showing it
    // then returns. The owner is enabled first, so it, not another program,
    // comes to the front.
    void Unload();

protected:
    virtual void Form_Load() {}
    // The window is about to go (its close box, a close button, Unload): it
    // is still whole and shown, so the form may still ask something.
    virtual void Form_QueryUnload() {}
    // The window is being destroyed; its controls are still there.
    virtual void Form_Unload() {}
    // A message of the program's own (WM_APP and above), as a thread of the
    // form posts to tell it something; no event of a form, so it keeps the
    // platform's name.
    virtual void OnAppMessage(UINT /*message*/) {}
    // The window has moved to a monitor of another DPI, or its scale has
    // changed, and its controls have followed.
    virtual void OnDpiChanged() {}

    // Runs `job` with the window shut to input and returns true; false, with
    // nothing run, when a job is running already. The user interface thread
    // dispatches messages while a job waits (a synchronous DDE call, a dialog,
    // a box), so clicks and close requests could otherwise start a job inside
    // the running one or unload the window under it: they are dropped. The
    // control that had the focus gets it back.
    template <typename Job>
    bool RunJob(Job job)
    {
        if (busy_) return false;
        const HWND focus = BeginJob();
        job();
        EndJob(focus);
        return true;
    }

    // Creates the window's controls from its table, in the message font at
    // the window's DPI, and fills the form's members that hold them. They are
    // placed again whenever the DPI or the window's size changes. A click on a
    // control, and its key, run its row's handler (a key ticks a check box or
    // selects an option first, as a click does), and so does an owner-drawn
    // control's paint.
    template <std::size_t N>
    void AddControls(const Control (&table)[N])
    {
        AddControls({table, N});
    }
    void CenterOnScreen();
    // How much larger than its design the client area is, in pixels; none in
    // a direction in which it is not larger.
    SIZE Growth() const;
    // The client area may be no smaller than its design grown by `least`
    // pixels. A smaller window grows to it, staying on its monitor's work
    // area where it fits; with Fit::Exactly a larger or maximised one is
    // brought back to it as well.
    void SetLeastGrowth(SIZE least, Fit fit);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    HWND BeginJob();
    void EndJob(HWND focus);
    void AddControls(const ControlTable& table);
    int IdOf(const Control& row) const;
    HWND Item(const Control& row) const { return GetDlgItem(hwnd_, IdOf(row)); }
    const Control* Row(int id) const;
    // A click (BN_CLICKED), a key (code 1) or Esc (IDCANCEL) to the handler of its row.
    bool Command(int id, int code);
    int Pixels(int twips) const { return MulDiv(twips, dpi_, 1440); }
    void SetFonts();
    void PlaceControls();
    // The window's size for a client area of its design grown by `growth`.
    SIZE FrameSize(SIZE growth) const;

    const wchar_t* const className_;
    const wchar_t* const caption_;
    const int clientWidthTwips_, clientHeightTwips_;
    const DWORD style_;
    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    HFONT font_ = nullptr;  // the message font at dpi_, shared by the controls
    ControlTable controls_;
    HWND modalOwner_ = nullptr;  // disabled by ShowModal, enabled again by Unload
    HWND lastFocus_ = nullptr;   // the control to focus when the window is active again
    SIZE least_ = {0, 0};        // the client area's least growth beyond its design
    bool followingDpi_ = false;  // taking the frame the system suggests for a new DPI
    bool busy_ = false;
    HACCEL shortcuts_ = nullptr;
};

template <typename Form>
constexpr Handler::Handler(void (Form::*click)()) : click_(static_cast<void (Window::*)()>(click))
{
}

template <typename Form>
constexpr Handler::Handler(void (Form::*click)(int index), int index)
    : indexed_(static_cast<void (Window::*)(int)>(click)), index_(index)
{
}

template <typename Form>
constexpr Handler::Handler(void (Form::*paint)(const DRAWITEMSTRUCT& item))
    : paint_(static_cast<void (Window::*)(const DRAWITEMSTRUCT&)>(paint))
{
}

inline bool Handler::Click(Window& form) const
{
    if (click_)
        (form.*click_)();
    else if (indexed_)
        (form.*indexed_)(index_);
    return click_ || indexed_;
}

inline bool Handler::Paint(Window& form, const DRAWITEMSTRUCT& item) const
{
    if (paint_) (form.*paint_)(item);
    return paint_ != nullptr;
}

namespace window_detail {
template <typename>
struct MemberOf;
template <typename Form, typename Type>
struct MemberOf<Type Form::*> {
    using FormType = Form;
    using MemberType = Type;
};
}

template <auto member, int index>
void Hold(Window& form, HWND control)
{
    using Of = window_detail::MemberOf<decltype(member)>;
    using Type = typename Of::MemberType;
    auto& held = static_cast<typename Of::FormType&>(form).*member;
    if constexpr (std::is_array_v<Type>) {
        static_assert(index >= 0 && index < std::extent_v<Type>, "no such member of the control array");
        held[index] = std::remove_extent_t<Type>(control);
    } else {
        held = Type(control);
    }
}
