#include "TestSupport.h"

#include "Window.h"

#include <initguid.h>
#include <wincodec.h>
#include <wincodecsdk.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace ts {

namespace {
void RemoveTree(const std::wstring& dir) { std::error_code ignored; std::filesystem::remove_all(dir, ignored); }

// Waits until the window has gone, so that the next step cannot find it again.
bool Closed(HWND window) { return ui::WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, Bound); }

// A box that no step waits for holds the program up, so no later step could
// pass: the step that meets it fails at once and says what the box says.
bool Boxed(const std::function<bool()>& holds, const std::string& what, DWORD bound = Bound)
{
    HWND box = nullptr;
    bool held = false;
    ui::WaitUntil([&] { return (held = holds()) || (box = ui::WaitForMessageBox(0)); }, bound);
    EXPECT_TRUE(held) << what << (box ? ": instead a box says " + Utf8(ui::MessageText(box)) : "");
    return held;
}

HWND Found(const std::function<HWND()>& find, const std::string& what)
{
    HWND found = nullptr;
    Boxed([&] { return (found = find()) != nullptr; }, what);
    return found;
}

HWND EditBox(const std::wstring& window, size_t index)
{
    return Found([&] { return ui::WaitForEdit(window, index, 0); }, "no edit " + std::to_string(index) + " in " + Utf8(window));
}

// Reads the pipe's end until the writers have gone.
void ReadAll(HANDLE pipe, std::string* into)
{
    char buffer[4096];
    for (DWORD got; ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got;) into->append(buffer, got);
    CloseHandle(pipe);
}

std::wstring HostCommandLine(const HostOptions& o, const std::wstring& log)
{
    std::wstring line = Quote(BinPath(L"hostsim.exe")) + L" --log " + Quote(log) + L" " + o.flags;
    if (!o.project.empty()) line += L" --project " + Quote(o.project);
    line += L" --args \"" + o.args + L"\"";
    return line + L" -- " + Quote(o.program.find(L'\\') == std::wstring::npos ? BinPath(o.program) : o.program);
}

// The host stand-in's log: one JSON string per line. The tests send no control
// characters but line ends and tabs, so no other escapes come back. A last line
// without its line end is still being written and does not count yet.
Texts ParseHostLog(const std::wstring& whole)
{
    Texts lines;
    for (size_t at = 0, end; (end = whole.find(L'\n', at)) != std::wstring::npos; at = end + 1) {
        std::wstring text;
        for (size_t i = at + 1; i + 1 < end; ++i) {  // inside the quotes
            wchar_t c = whole[i];
            if (c == L'\\') c = (c = whole[++i]) == L'n' ? L'\n' : c == L'r' ? L'\r' : c == L't' ? L'\t' : c;
            text += c;
        }
        lines.push_back(text);
    }
    return lines;
}

// The message font's height at 96 dots an inch; it grows with the DPI.
const LONG FontHeightAt96 = -12;

bool IsFrame(HWND control)
{
    return ui::IsClass(control, L"Button") && (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// Room a control leaves its caption's ink at 96 dots an inch: an option
// button's circle and gap, a frame's indent, a button's edges.
int CaptionMargin(HWND control)
{
    const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return !ui::IsClass(control, L"Button") ? 0 : type == BS_AUTORADIOBUTTON ? 17 : type == BS_GROUPBOX ? 16 : 2;
}

// The width of what a text paints in the DC's font: its advance less the
// blank sides of its first and last characters.
int InkWidth(HDC dc, const std::wstring& text)
{
    if (text.empty()) return 0;
    SIZE extent = {};
    ABC first = {}, last = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    GetCharABCWidthsW(dc, text.front(), text.front(), &first);
    GetCharABCWidthsW(dc, text.back(), text.back(), &last);
    return extent.cx - first.abcA - last.abcC;
}

using Microsoft::WRL::ComPtr;

}  // namespace

std::wstring BinPath(const std::wstring& name)
{
    wchar_t exe[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH * 4);
    const std::wstring path = exe;
    return path.substr(0, path.rfind(L'\\')) + L"\\..\\bin\\" + name;
}

TempDir::TempDir()
{
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = std::wstring(temp) + L"vtest-表-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    RemoveTree(path_);  // left by an earlier process of the same id
    if (!CreateDirectoryW(path_.c_str(), nullptr)) throw std::runtime_error("cannot make a scratch folder");
}

TempDir::~TempDir() { RemoveTree(path_); }

std::string ReadBytes(const std::wstring& path) { std::string bytes; return sim::ReadWhole(path, bytes) ? bytes : std::string(); }

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    // Whole, old or new, to a reader at any moment: the simulated device
    // reads its screens while a test changes them.
    const std::wstring part = path + L".part";
    if (!sim::WriteWhole(part, bytes) || !MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        throw std::runtime_error("cannot write a test file");
}

std::wstring Entry(const std::wstring& file, const std::wstring& section, const std::wstring& key)
{
    wchar_t value[4096] = {};
    GetPrivateProfileStringW(section.c_str(), key.c_str(), L"<absent>", value, 4096, file.c_str());
    return value;
}

Restore SetEnv(const std::wstring& name, const std::wstring& value)
{
    const std::optional<std::wstring> old = sim::EnvText(name.c_str());
    SetEnvironmentVariableW(name.c_str(), value.c_str());
    return Restore(nullptr, [name, old](void*) { SetEnvironmentVariableW(name.c_str(), old ? old->c_str() : nullptr); });
}

Process::Process(const std::wstring& commandLine, const std::wstring& folder, Output* output)
    : job_(CreateJobObjectW(nullptr, nullptr))
{
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    // What a child prints (the host stand-in echoes every line) is not the test's output.
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE ends[2][2] = {};  // output and error: the reading end, the writing end
    for (auto& end : ends) {
        if (output) CreatePipe(&end[0], &end[1], &inherit, 0);
        else end[1] = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
        if (end[0]) SetHandleInformation(end[0], HANDLE_FLAG_INHERIT, 0);
    }
    STARTUPINFOW si = {};
    si.cb = sizeof si, si.dwFlags = STARTF_USESTDHANDLES, si.hStdOutput = ends[0][1], si.hStdError = ends[1][1];
    PROCESS_INFORMATION pi = {};
    std::wstring line = commandLine;
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &si, &pi)) {
        process_ = sim::Handle(pi.hProcess);
        AssignProcessToJobObject(job_.get(), pi.hProcess);
        ResumeThread(pi.hThread);
        CloseHandle(pi.hThread);
    }
    for (auto& end : ends) CloseHandle(end[1]);
    if (output) {
        readers_[0] = std::thread(ReadAll, ends[0][0], &output->out);
        readers_[1] = std::thread(ReadAll, ends[1][0], &output->err);
    }
}

Process::~Process()
{
    job_ = sim::Handle();  // ends the child, and so its output
    for (std::thread& reader : readers_) if (reader.joinable()) reader.join();
}

DWORD Process::Wait(bool windows)
{
    DWORD code = ~0u;
    const auto ended = [&] { return WaitForSingleObject(process_.get(), windows ? 0 : 2 * Bound) == WAIT_OBJECT_0; };
    if (process_ && (windows ? Boxed(ended, "the program did not end", 2 * Bound) : ended()))
        GetExitCodeProcess(process_.get(), &code);
    else
        job_ = sim::Handle();  // ends it, so its output ends too
    for (std::thread& reader : readers_) if (reader.joinable()) reader.join();
    return code;
}

void WhileShown(const std::function<void()>& show, const std::function<void()>& answer)
{
    std::thread helper(answer);
    show();
    helper.join();
}

bool Click(const std::wstring& window, const std::wstring& button)
{
    const HWND found = Found([&] { return ui::WaitForButton(window, button, 0); },
                             "no button " + Utf8(button) + " in " + Utf8(window));
    if (found) ui::PostClick(found);
    return found;
}

bool SetEdit(const std::wstring& window, size_t index, const std::wstring& text)
{
    const HWND edit = EditBox(window, index);
    return edit && ui::SetText(edit, text, Bound);
}

std::wstring Edit(const std::wstring& window, size_t index, const std::wstring& expected)
{
    const HWND edit = EditBox(window, index);
    std::wstring text = L"<no edit box>";
    if (edit) ui::WaitUntil([&] { return (text = ui::ControlText(edit)) == expected; }, Bound);
    return text;
}

bool Focused(const std::wstring& window, size_t index)
{
    const HWND edit = EditBox(window, index);
    const DWORD thread = GetWindowThreadProcessId(edit, nullptr);
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    return edit && ui::WaitUntil([&] { return GetGUIThreadInfo(thread, &gui) && gui.hwndFocus == edit; }, Bound);
}

bool Centred(const std::wstring& window)
{
    const HWND found = Found([&] { return ui::WaitForWindow(window, 0); }, "no window " + Utf8(window));
    RECT r = {};
    return found && GetWindowRect(found, &r) && std::abs(r.left + r.right - GetSystemMetrics(SM_CXSCREEN)) <= 1 &&
           std::abs(r.top + r.bottom - GetSystemMetrics(SM_CYSCREEN)) <= 1;
}

std::wstring Box(int press)
{
    const HWND box = ui::WaitForMessageBox(Bound);
    if (!box) return L"<no box>";
    std::wstring seen = ui::IconName(ui::MessageIcon(box, Bound)) + (L"\n" + ui::Caption(box)) + L"\n" +
                              ui::MessageText(box);
    EXPECT_TRUE(ui::PressButton(box, press) && Closed(box)) << Utf8(seen);
    return seen;
}

bool NoBox(const std::wstring& window)
{
    const HWND shown = ui::WaitForWindow(window, Bound);
    DWORD_PTR ignored;
    return SendMessageTimeoutW(shown, WM_NULL, 0, 0, SMTO_NORMAL, Bound, &ignored) && IsWindowEnabled(shown);
}

bool FileDialog(const std::wstring& path, const std::wstring& owner, int type)
{
    const HWND dialog = Found([] { return ui::WaitForFileDialog(0); }, "no file dialog for " + Utf8(path));
    bool ok = dialog && (owner.empty() || ui::OwnedBy(dialog, owner));
    if (ok && path.empty()) ui::CancelFileDialog(dialog);
    else if (ok) ok = (type == 0 || ui::SelectFileType(dialog, type)) && ui::AnswerFileDialog(dialog, path, Bound);
    ok = ok && Closed(dialog);
    EXPECT_TRUE(ok || !dialog) << "file dialog for " << Utf8(path);
    return ok;
}

HostSession::HostSession(const HostOptions& options)
    : process_(HostCommandLine(options, dir_ / L"host.log"), options.folder) {}

Texts HostSession::Received(size_t atLeast) const
{
    Texts all;
    Boxed([&] { return (all = ParseHostLog(sim::FromCodePage(CP_UTF8, ReadBytes(dir_ / L"host.log")))).size() >= atLeast; },
          "fewer than " + std::to_string(atLeast) + " lines to the host");
    return all;
}

Texts Lines(std::initializer_list<std::wstring> lines)
{
    Texts out;
    for (const auto& line : lines) out.push_back(line + L"\r\n");
    return out;
}

const wchar_t Project::DefaultText[] =
    L"[MAIN]\r\nPROJECT-NAME=GAME\r\nLANGFILE=piece.slf\r\n[SOURCE]\r\nN=1\r\n1=.\\game.c\r\n";

Project::Project(const std::wstring& sdsText) { Vtp(file(), sdsText); }

void SimDevice::Set(const std::wstring& section, const std::wstring& key, const std::wstring& value) const
{
    WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), (*this / L"device.ini").c_str());
}

size_t SimDevice::Captures() const
{
    const std::string calls = Calls();
    size_t count = 0;
    for (size_t at = 0; (at = calls.find("ismLCDCaptureScreen", at)) != std::string::npos; ++at) ++count;
    return count;
}

std::string Bracket(std::initializer_list<std::string> calls)
{
    std::string lines;
    for (const auto& call : calls) lines += "ismInit\r\n" + call + "\r\nismExit\r\n";
    return lines;
}

Decoded Decode(const std::string& file)
{
    // For the life of the test program's thread, which alone decodes.
    static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Decoded decoded;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    UINT count = 0;
    if (FAILED(com) || FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(file.data())), static_cast<DWORD>(file.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad, &decoder)) ||
        FAILED(decoder->GetFrameCount(&count)))
        count = 0;
    // NETSCAPE2.0's sub-block: its size 3, 1, then the loop count.
    const size_t loop = file.find("NETSCAPE2.0\x03\x01");
    if (count && loop != std::string::npos && loop + 15 <= file.size())
        decoded.loop = static_cast<unsigned char>(file[loop + 13]) | static_cast<unsigned char>(file[loop + 14]) << 8;
    // A GIF's frames are drawn as a viewer draws them: each at its place on the
    // logical screen, over what the frames before left, which shows through
    // its transparent pixels.
    const bool gif = file.compare(0, 4, "GIF8") == 0 && file.size() >= 10;
    const auto word = [&](size_t at) { return gif ? static_cast<unsigned char>(file[at]) | static_cast<unsigned char>(file[at + 1]) << 8 : 0; };
    Decoded::Frame screen{word(6), word(8), -1, std::vector<std::uint32_t>(static_cast<size_t>(word(6)) * word(8))};
    for (UINT i = 0; i < count; ++i) {
        ComPtr<IWICBitmapFrameDecode> frame;
        ComPtr<IWICBitmapSource> bgra;
        ComPtr<IWICMetadataQueryReader> reader;
        UINT width = 0, height = 0;
        if (FAILED(decoder->GetFrame(i, &frame)) || FAILED(frame->GetSize(&width, &height)) ||
            FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.Get(), &bgra)))
            break;
        const bool read = SUCCEEDED(frame->GetMetadataQueryReader(&reader));
        auto number = [&](const wchar_t* name) {
            PROPVARIANT value;
            PropVariantInit(&value);
            const int n = read && SUCCEEDED(reader->GetMetadataByName(name, &value)) && value.vt == VT_UI2 ? value.uiVal : -1;
            PropVariantClear(&value);
            return n;
        };
        Decoded::Frame out{static_cast<int>(width), static_cast<int>(height), number(L"/grctlext/Delay"),
                           std::vector<std::uint32_t>(width * height)};
        if (FAILED(bgra->CopyPixels(nullptr, width * 4, width * height * 4, reinterpret_cast<BYTE*>(out.pixels.data())))) break;
        const int left = number(L"/imgdesc/Left"), top = number(L"/imgdesc/Top");
        for (UINT y = 0; gif && y < height; ++y)
            for (UINT x = 0; x < width; ++x)
                if (const std::uint32_t pixel = out.pixels[y * width + x]; pixel >> 24 && left + x < UINT(screen.width) && top + y < UINT(screen.height))
                    screen.pixels[(top + y) * screen.width + left + x] = pixel;
        if (gif) screen.delay = out.delay, out = screen;
        for (std::uint32_t& pixel : out.pixels) pixel &= 0xFFFFFF;
        decoded.frames.push_back(out);
    }
    return decoded;
}

Decoded::Frame Shows(const std::string& screen, int block, int width, int height, int screenWidth, int left, int top)
{
    const std::uint32_t grey[] = {0xFFFFFF, 0xAAAAAA, 0x555555, 0x000000};
    const int screenHeight = static_cast<int>(screen.size()) / screenWidth;
    Decoded::Frame shown{width, height, -1, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int sx = x - left, sy = y - top;
            const bool inside = sx >= 0 && sy >= 0 && sx < screenWidth * block && sy < screenHeight * block;
            const unsigned value = inside ? static_cast<unsigned char>(screen[(sy / block) * screenWidth + sx / block]) : 0;
            shown.pixels.push_back(grey[value > 3 ? 3 : value]);
        }
    return shown;
}

void ExpectControls(HWND form, int dpi)
{
    const auto inside = [](const RECT& a, const RECT& b) {
        return a.left >= b.left && a.top >= b.top && a.right <= b.right && a.bottom <= b.bottom;
    };
    const auto name = [dpi](HWND c) { return Utf8(ui::ClassOf(c) + L" \"" + WindowText(c) + L"\" at ") + std::to_string(dpi); };
    RECT client = {};
    GetClientRect(form, &client);
    std::vector<std::pair<HWND, RECT>> seen;
    for (HWND control = GetWindow(form, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        RECT r = {}, common = {};
        GetWindowRect(control, &r);
        MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(inside(r, client)) << name(control) << " is not wholly inside the window";
        for (const auto& [other, o] : seen)
            EXPECT_TRUE(!IntersectRect(&common, &r, &o) || (IsFrame(control) && inside(o, r)) || (IsFrame(other) && inside(r, o)))
                << name(control) << " overlaps " << name(other);
        seen.push_back({control, r});
        const HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        LOGFONTW logFont = {};
        GetObjectW(font, sizeof logFont, &logFont);
        EXPECT_EQ(logFont.lfHeight, FontHeightAt96 * dpi / 96) << name(control);
        const HDC dc = GetDC(control);
        const HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc, &metrics);
        EXPECT_LE(InkWidth(dc, WindowText(control)) + MulDiv(CaptionMargin(control), dpi, 96), r.right - r.left) << name(control);
        EXPECT_LE(metrics.tmHeight, r.bottom - r.top) << name(control);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
    }
    EXPECT_FALSE(seen.empty());
}

int SessionDpi()
{
    const std::optional<std::wstring> dpi = sim::EnvText(L"TEST_DPI");
    return dpi ? std::stoi(*dpi) : 96;
}

void ExpectLayout(Window& form)
{
    const int dpi = SessionDpi();
    ASSERT_TRUE(form.Load(nullptr));
    EXPECT_EQ(form.dpi(), dpi);
    const HICON own = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    EXPECT_TRUE(own && reinterpret_cast<HICON>(GetClassLongPtrW(form.hwnd(), GCLP_HICON)) == own);
    ExpectControls(form.hwnd(), dpi);
    ExpectDpiChange(form, 144);
}

void ExpectDpiChange(Window& form, int dpi)
{
    // The system suggests the client area scaled, the frame as it is.
    RECT client = {}, frame = {};
    GetClientRect(form.hwnd(), &client);
    GetWindowRect(form.hwnd(), &frame);
    const int old = form.dpi();
    RECT suggested = {16, 32, 16 + frame.right - frame.left + client.right * (dpi - old) / old,
                      32 + frame.bottom - frame.top + client.bottom * (dpi - old) / old};
    SendMessageW(form.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(form.hwnd(), &frame);
    EXPECT_TRUE(EqualRect(&frame, &suggested));
    EXPECT_EQ(form.dpi(), dpi);
    ExpectControls(form.hwnd(), dpi);
}

}  // namespace ts
