// uidriver: the command line over the window driver library, for scripts that
// drive the real windows of another process:
// waits for windows, presses buttons, fills and reads edit boxes, answers
// message boxes and file dialogs.

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cwchar>
#include <string>
#include <vector>

#include "SimSupport.h"
#include "WindowActions.h"

namespace {

const wchar_t Usage[] =
    L"usage: uidriver [--timeout MS] COMMAND ARGS...\n"
    L"\n"
    L"WINDOW is the exact caption of a visible top-level window. Commands wait up to\n"
    L"MS milliseconds (default 10000) for what they need, polling every 25 ms.\n"
    L"\n"
    L"  wait WINDOW              until the window exists\n"
    L"  gone WINDOW              until no such window exists\n"
    L"  click WINDOW BUTTON      post BN_CLICKED of the visible, enabled button whose\n"
    L"                           caption without & markers is BUTTON (any depth)\n"
    L"  select WINDOW OPTION     the same for an option (radio) button, posted to the\n"
    L"                           button (BM_CLICK) so that it checks itself first\n"
    L"  set-edit WINDOW N TEXT   set the text of the N-th Edit (0 = first, in the\n"
    L"                           order EnumChildWindows gives, any depth)\n"
    L"  get-edit WINDOW N        print the text of the N-th Edit\n"
    L"  msgbox [--icon] [--press ok|cancel|yes|no]\n"
    L"                           wait for a message box, print TITLE \\n TEXT and\n"
    L"                           optionally press the button; --icon prints first\n"
    L"                           ICON \\n, ICON one of none, error, warning,\n"
    L"                           information, question, unknown\n"
    L"  file-dialog [--owner WINDOW] PATH | --cancel\n"
    L"                           wait for an open or save dialog, print its caption,\n"
    L"                           enter PATH and press OK, or cancel it; --owner fails\n"
    L"                           unless the dialog's owner has that caption\n"
    L"  close WINDOW             post WM_CLOSE\n"
    L"  maximize WINDOW          maximize it, as its maximize box does\n"
    L"  shot WINDOW FILE         save the window as the screen shows it, as a PNG file\n"
    L"                           (what of it lies on the screen)\n"
    L"  list [WINDOW]            print CLASS TAB CAPTION of each visible top-level\n"
    L"                           window, or CLASS TAB ID TAB TEXT of WINDOW's children\n"
    L"\n"
    L"Output is UTF-8 and printed as it is: get-edit, msgbox and file-dialog add no\n"
    L"line end; list ends each line with \\n. Exit code 0 on success, 1 when the\n"
    L"thing did not appear in time (one line on stderr), 2 on bad arguments.\n";

DWORD g_timeout = 10000;

void Write(DWORD stream, const std::wstring& text)
{
    sim::WriteAll(GetStdHandle(stream), sim::ToCodePage(CP_UTF8, text));
}

int Fail(const std::wstring& why)
{
    Write(STD_ERROR_HANDLE, L"uidriver: " + why + L"\n");
    return 1;
}

int BadArguments()
{
    Write(STD_ERROR_HANDLE, Usage);
    return 2;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring WithinTimeout() { return L" within " + std::to_wstring(g_timeout) + L" ms"; }

DWORD TimeLeft(DWORD start)
{
    const DWORD spent = GetTickCount() - start;
    return spent < g_timeout ? g_timeout - spent : 1;
}

bool ParseCount(const std::wstring& text, size_t& value)
{
    if (text.empty() || text.find_first_not_of(L"0123456789") != std::wstring::npos) return false;
    value = std::wcstoul(text.c_str(), nullptr, 10);
    return true;
}

int NoWindow(const std::wstring& window) { return Fail(L"no window " + Quoted(window) + WithinTimeout()); }

int NoEdit(const std::wstring& window, size_t index)
{
    return Fail(L"no edit " + std::to_wstring(index) + L" in window " + Quoted(window) + WithinTimeout());
}

int Wait(const std::wstring& window)
{
    return ui::WaitForWindow(window, g_timeout) ? 0 : NoWindow(window);
}

int Gone(const std::wstring& window)
{
    if (ui::WaitUntilGone(window, g_timeout)) return 0;
    return Fail(L"window " + Quoted(window) + L" still there after " + std::to_wstring(g_timeout) + L" ms");
}

int Click(const std::wstring& window, const std::wstring& caption)
{
    if (ui::ClickButton(window, caption, g_timeout)) return 0;
    return Fail(L"no enabled button " + Quoted(caption) + L" in window " + Quoted(window) + WithinTimeout());
}

int Select(const std::wstring& window, const std::wstring& caption)
{
    if (ui::SelectOption(window, caption, g_timeout)) return 0;
    return Fail(L"no enabled option button " + Quoted(caption) + L" in window " + Quoted(window) + WithinTimeout());
}

int SetEdit(const std::wstring& window, size_t index, const std::wstring& text)
{
    const DWORD start = GetTickCount();
    HWND edit = ui::WaitForEdit(window, index, g_timeout);
    if (!edit) return NoEdit(window, index);
    if (!ui::SetText(edit, text, TimeLeft(start)))
        return Fail(L"edit " + std::to_wstring(index) + L" in window " + Quoted(window) + L" did not take the text");
    return 0;
}

int GetEdit(const std::wstring& window, size_t index)
{
    HWND edit = ui::WaitForEdit(window, index, g_timeout);
    if (!edit) return NoEdit(window, index);
    Write(STD_OUTPUT_HANDLE, ui::ControlText(edit));
    return 0;
}

int MessageBoxCommand(std::vector<std::wstring> args)
{
    const bool icon = !args.empty() && args[0] == L"--icon";
    if (icon) args.erase(args.begin());
    int press = 0;
    if (args.size() == 2 && args[0] == L"--press") {
        const struct { const wchar_t* name; int id; } buttons[] = {
            {L"ok", IDOK}, {L"cancel", IDCANCEL}, {L"yes", IDYES}, {L"no", IDNO}};
        for (const auto& b : buttons)
            if (args[1] == b.name) press = b.id;
        if (!press) return BadArguments();
    } else if (!args.empty()) {
        return BadArguments();
    }

    const DWORD start = GetTickCount();
    HWND box = ui::WaitForMessageBox(g_timeout);
    if (!box) return Fail(L"no message box" + WithinTimeout());
    std::wstring seen = ui::Caption(box) + L"\n" + ui::MessageText(box);
    if (icon) seen = ui::IconName(ui::MessageIcon(box, TimeLeft(start))) + (L"\n" + seen);
    Write(STD_OUTPUT_HANDLE, seen);
    if (press && !ui::PressButton(box, press))
        return Fail(L"message box " + Quoted(ui::Caption(box)) + L" has no button " + Quoted(args[1]));
    return 0;
}

// The screen's pixels under the window, through the platform's PNG encoder.
int Shot(const std::wstring& window, const std::wstring& file)
{
    using Microsoft::WRL::ComPtr;
    const HWND hwnd = ui::WaitForWindow(window, g_timeout);
    if (!hwnd) return NoWindow(window);
    // A maximised window's frame lies beyond the screen's edges.
    RECT r, whole;
    const RECT screenRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    GetWindowRect(hwnd, &whole);
    IntersectRect(&r, &whole, &screenRect);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const HDC screen = GetDC(nullptr);
    std::vector<std::uint32_t> pixels = ui::Pixels(screen, r);
    ReleaseDC(nullptr, screen);

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    const bool saved =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) && SUCCEEDED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
        SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
        format == GUID_WICPixelFormat32bppBGR &&
        SUCCEEDED(frame->WritePixels(height, width * 4, width * height * 4, reinterpret_cast<BYTE*>(pixels.data()))) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    return saved ? 0 : Fail(L"could not write " + Quoted(file));
}

int FileDialog(const std::vector<std::wstring>& args)
{
    std::wstring owner, path;
    bool hasOwner = false, cancel = false;
    size_t i = 0;
    if (i + 1 < args.size() && args[i] == L"--owner") {
        owner = args[i + 1];
        hasOwner = true;
        i += 2;
    }
    if (i + 1 != args.size()) return BadArguments();
    if (args[i] == L"--cancel") cancel = true;
    else path = args[i];

    const DWORD start = GetTickCount();
    HWND dialog = ui::WaitForFileDialog(g_timeout);
    if (!dialog) return Fail(L"no file dialog" + WithinTimeout());
    const std::wstring caption = ui::Caption(dialog);
    if (hasOwner && !ui::OwnedBy(dialog, owner)) {
        HWND actual = GetWindow(dialog, GW_OWNER);
        return Fail(L"file dialog " + Quoted(caption) + L" is owned by " +
                    (actual ? Quoted(ui::Caption(actual)) : std::wstring(L"no window")) +
                    L", not by " + Quoted(owner));
    }
    Write(STD_OUTPUT_HANDLE, caption);
    if (cancel) {
        ui::CancelFileDialog(dialog);
        return 0;
    }
    if (!ui::AnswerFileDialog(dialog, path, TimeLeft(start)))
        return Fail(L"file dialog " + Quoted(caption) + L" did not take the file name");
    return 0;
}

int Close(const std::wstring& window)
{
    return ui::PostClose(window, g_timeout) ? 0 : NoWindow(window);
}

int Maximize(const std::wstring& window)
{
    const HWND hwnd = ui::WaitForWindow(window, g_timeout);
    if (!hwnd) return NoWindow(window);
    PostMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    return 0;
}

int List(const std::vector<std::wstring>& args)
{
    if (args.empty()) {
        Write(STD_OUTPUT_HANDLE, ui::DescribeTopLevelWindows());
        return 0;
    }
    if (args.size() != 1) return BadArguments();
    HWND window = ui::WaitForWindow(args[0], g_timeout);
    if (!window) return NoWindow(args[0]);
    Write(STD_OUTPUT_HANDLE, ui::DescribeChildren(window));
    return 0;
}

int Run(const std::wstring& command, const std::vector<std::wstring>& a)
{
    size_t index = 0;
    if (command == L"wait" && a.size() == 1) return Wait(a[0]);
    if (command == L"gone" && a.size() == 1) return Gone(a[0]);
    if (command == L"click" && a.size() == 2) return Click(a[0], a[1]);
    if (command == L"select" && a.size() == 2) return Select(a[0], a[1]);
    if (command == L"set-edit" && a.size() == 3 && ParseCount(a[1], index)) return SetEdit(a[0], index, a[2]);
    if (command == L"get-edit" && a.size() == 2 && ParseCount(a[1], index)) return GetEdit(a[0], index);
    if (command == L"msgbox") return MessageBoxCommand(a);
    if (command == L"file-dialog" && !a.empty()) return FileDialog(a);
    if (command == L"close" && a.size() == 1) return Close(a[0]);
    if (command == L"maximize" && a.size() == 1) return Maximize(a[0]);
    if (command == L"list") return List(a);
    if (command == L"shot" && a.size() == 2) return Shot(a[0], a[1]);
    return BadArguments();
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    std::vector<std::wstring> args(argv + 1, argv + argc);
    size_t first = 0;
    if (args.size() >= 2 && args[0] == L"--timeout") {
        size_t ms;
        if (!ParseCount(args[1], ms)) return BadArguments();
        g_timeout = static_cast<DWORD>(ms);
        first = 2;
    }
    if (first >= args.size()) return BadArguments();
    return Run(args[first], std::vector<std::wstring>(args.begin() + first + 1, args.end()));
}
