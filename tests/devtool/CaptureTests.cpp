// The capture window of the real device tool: what each size saves, copies
// and records, read back by the platform's decoders, and its warnings; a disk
// that fills. (A device that hangs: the sessions of every device job.)
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>

namespace {

const wchar_t Capture[] = L"キャプチャ";

using Frame = ts::Decoded::Frame;

// The clipboard's picture, read as a bitmap file of its DIB; a frame of 0 x 0
// when it holds none.
Frame Clipboard()
{
    std::string dib;
    if (!OpenClipboard(nullptr)) return {0, 0, -1, {}};  // the program has it open
    if (const HGLOBAL memory = GetClipboardData(CF_DIB)) {
        if (const void* bytes = GlobalLock(memory)) dib.assign(static_cast<const char*>(bytes), GlobalSize(memory));
        GlobalUnlock(memory);
    }
    CloseClipboard();
    const BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof file + dib.size()), 0, 0,
                                   sizeof file + sizeof(BITMAPINFOHEADER)};
    const ts::Decoded decoded = ts::Decode(std::string(reinterpret_cast<const char*>(&file), sizeof file) + dib);
    return decoded.frames.size() == 1 ? decoded.frames[0] : Frame{0, 0, -1, {}};
}

// Keys as the user presses them in the capture window: down in turn, then up.
void Press(std::initializer_list<BYTE> keys)
{
    SetForegroundWindow(ui::WaitForWindow(Capture, ts::Bound));
    for (const BYTE key : keys) keybd_event(key, 0, 0, 0);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) keybd_event(*key, 0, KEYEVENTF_KEYUP, 0);
}

// Captures by F5, or by the button, and waits until the window is done: a
// key or click while a job runs does nothing.
void CaptureNow(const ts::SimDevice& device, bool key = true)
{
    const size_t before = device.Calls().size();
    if (key) Press({VK_F5}); else ts::Click(Capture, Capture);
    const HWND window = ui::WaitForWindow(Capture, ts::Bound);
    EXPECT_TRUE(ui::WaitUntil([&] { return device.Calls().size() > before && IsWindowEnabled(window); }, ts::Bound));
}

// Copies (Ctrl+C) until the clipboard holds `expected`, the live view having
// caught up. Each copy is waited for, so that none is still on its way when
// the caller reads the clipboard.
bool CopiesAs(const Frame& expected)
{
    return ui::WaitUntil([&] {
        const DWORD before = GetClipboardSequenceNumber();
        Press({VK_CONTROL, 'C'});
        Frame copied;
        ui::WaitUntil([&] { return GetClipboardSequenceNumber() != before && (copied = Clipboard()).width; }, ts::Bound);
        return copied == expected;
    }, ts::Bound);
}

// The file once it has come, as the platform decodes it.
ts::Decoded Written(const std::wstring& path)
{
    ts::Decoded decoded;
    ui::WaitUntil([&] { return !(decoded = ts::Decode(ts::ReadBytes(path))).frames.empty(); }, ts::Bound);
    return decoded;
}

// Whether the file, once written, holds `expected` alone.
bool Holds(const std::wstring& path, const Frame& expected)
{
    const ts::Decoded saved = Written(path);
    return saved.frames.size() == 1 && saved.frames[0] == expected;
}

// Saves the picture (Ctrl+S) through the dialog.
bool Saves(const std::wstring& path, const Frame& expected)
{
    Press({VK_CONTROL, 'S'});
    return ts::FileDialog(path) && Holds(path, expected);
}

size_t Files(const ts::TempDir& dir)
{
    const std::filesystem::directory_iterator files(dir.path());
    return static_cast<size_t>(std::count_if(begin(files), end(files), [](const auto& f) { return f.is_regular_file(); }));
}

// Three screens of noise, each the device's in turn when screen.bin holds
// them one after the other.
std::array<std::string, 3> Screens()
{
    std::array<std::string, 3> noise;
    unsigned random = 1;
    for (std::string& screen : noise)
        while (screen.size() < 128 * 88) screen += static_cast<char>((random = random * 1103515245 + 12345) >> 16 & 3);
    return noise;
}

// A recording of the screens at `block` times their size, each frame one of
// them, looping for ever. (That each frame differs from the one before and
// shows for 2 hundredths at least, and how the delays add up: the GIF
// writer's native proof, tests/gif.)
void ExpectRecording(const ts::Decoded& recorded, const std::array<std::string, 3>& shown, int block)
{
    EXPECT_EQ(recorded.loop, 0);
    EXPECT_FALSE(recorded.frames.empty());
    for (Frame frame : recorded.frames) {
        const auto is = [&](const std::string& s) { return frame == ts::Shows(s, block, 128 * block, 88 * block); };
        frame.delay = -1;
        EXPECT_TRUE(is(shown[0]) || is(shown[1]) || is(shown[2]));
    }
}

// One capture as calls.log shows it. (That each opens and closes the
// library: the device layer's test.)
const std::string OneCapture = ts::Bracket({"ismLCDCaptureScreen 11264"});

TEST(Capture, SavesCopiesTheLiveViewAndRecordings)
{
    ts::SimDevice device;
    ts::Project project;
    ts::TempDir out, temp;
    const ts::Restore tmp = ts::SetEnv(L"TMP", temp.path());
    // Captures that return 1 when they have copied the screen: the live view
    // and the recordings ask whether a device is there, and go on while one is.
    const ts::Restore one = ts::SetEnv(L"PIECE_SIM_CAPTURE_RESULT", L"1");
    auto [a, b, c] = Screens();
    a[10 * 128 + 10] = 4;  // values the screen format does not use show black
    a[10 * 128 + 11] = static_cast<char>(200);
    const std::string white(128 * 88, '\0');
    ts::WriteBytes(device / L"screen.bin", a);
    const std::wstring refused = L"Z:\\proc\\vortalis-capture";  // takes no new files, not even from root

    ts::HostSession host(project.Host(L"Capture"));
    EXPECT_EQ(SendMessageW(ui::WaitForOption(Capture, L"１倍(128×88)", ts::Bound), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(Saves(out / L"empty.bmp", ts::Shows(white, 1, 128, 88)));
    // Each size captured (F5), copied and saved in a file of the kind its
    // name asks for, in any case: each device pixel a block of its levels.
    // The keys work wherever the focus is.
    const struct { BYTE key; const wchar_t* name; std::string kind; } sizes[] = {
        {'1', L"one.bmp", "BM"}, {'2', L"TWO.PNG", "\x89PNG"}, {'3', L"three.Gif", "GIF8"}, {'4', L"four.bmp", "BM"}};
    for (const auto& [key, name, kind] : sizes) {
        const int size = key - '0';
        Press({VK_TAB});
        Press({key});
        CaptureNow(device);
        EXPECT_TRUE(CopiesAs(ts::Shows(a, size, 128 * size, 88 * size))) << size;
        EXPECT_TRUE(Saves(out / name, ts::Shows(a, size, 128 * size, 88 * size))) << size;
        EXPECT_EQ(ts::ReadBytes(out / name).substr(0, kind.size()), kind) << size;
    }
    // Saved at a smaller size than captured: the screen at that size. A
    // capture at 1x saved and copied at 2x: in the corner, none of the 4x
    // left; saved over TWO.PNG, which the user first declines to replace.
    Press({'1'});
    EXPECT_TRUE(Saves(out / L"four-as-one.bmp", ts::Shows(a, 1, 128, 88)));
    CaptureNow(device);
    Press({'2'});
    EXPECT_TRUE(CopiesAs(ts::Shows(a, 1, 256, 176)));
    const std::string two = ts::ReadBytes(out / L"TWO.PNG");
    const std::wstring replace = L"question\nVORTALIS0\n" + out / L"TWO.PNG\r\nは既にあります. 置き換えますか?";
    ASSERT_TRUE(ts::Click(Capture, L"保存"));
    for (const int answer : {IDNO, IDYES}) {
        EXPECT_TRUE(ts::FileDialog(out / L"TWO.PNG"));
        EXPECT_EQ(ts::ReadBytes(out / L"TWO.PNG"), two) << "not replaced before the answer";
        EXPECT_EQ(ts::Box(answer), replace);
    }
    EXPECT_TRUE(ts::NoBox(Capture) && Holds(out / L"TWO.PNG", ts::Shows(a, 1, 256, 176)));
    // A folder of the name the type's extension makes is no file to replace:
    // no question, the write fails.
    Press({'1'});
    ASSERT_TRUE(std::filesystem::create_directory(out / L"folder.bmp"));
    ASSERT_TRUE(ts::Click(Capture, L"保存"));
    EXPECT_TRUE(ts::FileDialog(out / L"folder"));
    EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\n" + out / L"folder.bmpへの書き込みに失敗しました");
    ASSERT_TRUE(ts::Click(Capture, L"保存"));
    EXPECT_TRUE(ts::FileDialog(L""));
    EXPECT_TRUE(ts::NoBox(Capture)) << "a cancelled save says nothing";

    // Always on top, said to the system; its file dialog then has the window
    // as its owner, or it would open behind it.
    const HWND window = ui::WaitForWindow(Capture, ts::Bound);
    const auto topmost = [&] { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    Press({VK_CONTROL, 'T'});
    EXPECT_TRUE(ui::WaitUntil(topmost, ts::Bound));
    ts::WriteBytes(device / L"screen.bin", b);
    const HWND live = ui::WaitForButton(Capture, L"ライブ", ts::Bound);
    Press({VK_CONTROL, 'L'});
    Press({'2'});
    EXPECT_TRUE(CopiesAs(ts::Shows(b, 2, 256, 176))) << "the live view follows the device, at the size selected now";
    // The picture shown at the click, though the device shows another before
    // the dialog is answered; a name without an extension gets the type's.
    ASSERT_TRUE(ts::Click(Capture, L"保存"));
    EXPECT_EQ(ui::Caption(ui::WaitForFileDialog(ts::Bound)), L"名前を付けて保存") << "the save dialog";
    ts::WriteBytes(device / L"screen.bin", c);
    const size_t clicked = device.Captures();
    EXPECT_TRUE(ui::WaitUntil([&] { return device.Captures() >= clicked + 3; }, ts::Bound));
    EXPECT_TRUE(ts::FileDialog(out / L"clicked", Capture, 1));
    EXPECT_TRUE(Holds(out / L"clicked.png", ts::Shows(b, 2, 256, 176)));
    ui::PostSelect(ui::WaitForButton(Capture, L"常に手前に表示", ts::Bound));
    EXPECT_TRUE(ui::WaitUntil([&] { return !topmost(); }, ts::Bound));

    // A recording at 2x (Ctrl+R) that the user stops, whose delays add up to
    // the time between the keys; a refused file and a cancel the user does
    // not want to throw it away with ask again.
    ts::WriteBytes(device / L"screen.bin", a + b + c);  // each capture the next screen
    const auto now = [] { return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count(); };
    const auto started = now();
    Press({VK_CONTROL, 'R'});
    Press({'1'});  // the recording keeps its size
    ASSERT_TRUE(ui::WaitForButton(Capture, L"停止", ts::Bound));
    const size_t before = device.Captures();
    EXPECT_TRUE(ui::WaitUntil([&] { return device.Captures() >= before + 2; }, ts::Bound));
    const auto firstFrame = now();  // the recording's first frame was captured before
    EXPECT_TRUE(ui::WaitUntil([&] { return device.Captures() >= before + 18; }, ts::Bound));
    const auto stopped = now();
    Press({VK_CONTROL, 'R'});
    EXPECT_TRUE(ts::FileDialog(refused + L".gif"));
    const auto asked = now();
    EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\n" + refused + L".gifへの書き込みに失敗しました");
    EXPECT_TRUE(ts::FileDialog(L""));
    EXPECT_EQ(ts::Box(IDNO), L"question\nVORTALIS0\n録画を破棄しますか?");
    EXPECT_TRUE(ts::FileDialog(out / L"rec"));
    const ts::Decoded recorded = Written(out / L"rec.gif");
    ExpectRecording(recorded, {a, b, c}, 2);
    long long ms = 0;
    for (const Frame& frame : recorded.frames) ms += frame.delay * 10LL;
    // Rounded to hundredths, and a last frame too short to be shown left out.
    EXPECT_GE(ms, stopped - firstFrame - 20);
    EXPECT_LE(ms, asked - started + 10);
    // Thrown away when the user says so: no file stays, not even a temporary one.
    const size_t from = device.Captures();
    ASSERT_TRUE(ts::Click(Capture, L"録画"));
    EXPECT_TRUE(ui::WaitUntil([&] { return device.Captures() >= from + 3 && Files(temp) == 1; }, ts::Bound));
    ASSERT_TRUE(ts::Click(Capture, L"停止"));
    EXPECT_TRUE(ts::FileDialog(L""));
    EXPECT_EQ(ts::Box(IDYES), L"question\nVORTALIS0\n録画を破棄しますか?");
    EXPECT_TRUE(ui::WaitUntil([&] { return Files(temp) == 0; }, ts::Bound)) << "the temporary file goes";

    device.Set(L"device", L"connected", L"0");  // the device goes away during the live view
    EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\nP/ECEが応答しません. ライブ表示を止めました.");
    EXPECT_TRUE(ui::WaitUntil([&] { return SendMessageW(live, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, ts::Bound));
    ASSERT_TRUE(ui::SelectOption(Capture, L"２倍(256×176)", ts::Bound));
    CaptureNow(device, false);  // no device: the buffer stays zero, white; a second box would hold it up
    EXPECT_TRUE(Saves(out / L"none.bmp", ts::Shows(white, 1, 256, 176)));

    // A recording at 1x, closed (Esc) while it runs and saved when asked over
    // the one there, which the user replaces.
    // Checked again once the device is back, the live view captures again;
    // unchecked, no more: nothing comes between two captures of the button's.
    device.Set(L"device", L"connected", L"1");
    const size_t back = device.Captures();
    ui::PostSelect(live);
    EXPECT_TRUE(ui::WaitUntil([&] { return device.Captures() >= back + 3; }, ts::Bound));
    ui::PostSelect(live);
    CaptureNow(device, false);
    std::string calls;
    ASSERT_TRUE(ui::WaitUntil([&] {
        calls = device.Calls();
        return calls.size() > OneCapture.size() && calls.substr(calls.size() - OneCapture.size()) == OneCapture;
    }, ts::Bound));
    CaptureNow(device, false);
    EXPECT_EQ(device.Calls(), calls + OneCapture);
    ASSERT_TRUE(ui::SelectOption(Capture, L"１倍(128×88)", ts::Bound));
    const size_t last = device.Captures();
    ASSERT_TRUE(ts::Click(Capture, L"録画"));
    EXPECT_TRUE(ui::WaitUntil([&] { return device.Captures() >= last + 8; }, ts::Bound));
    Press({VK_ESCAPE});
    EXPECT_EQ(ts::Box(IDYES), L"question\nVORTALIS0\n録画を保存しますか?");
    EXPECT_TRUE(ts::FileDialog(out / L"rec"));
    EXPECT_EQ(ts::Box(IDYES), L"question\nVORTALIS0\n" + out / L"rec.gif\r\nは既にあります. 置き換えますか?");
    EXPECT_EQ(host.Finish(), ts::Texts{}) << "the capture window tells the host nothing";
    ExpectRecording(Written(out / L"rec.gif"), {a, b, c}, 1);
    EXPECT_EQ(Files(temp), 0u) << "a recording not saved leaves no temporary file";
    EXPECT_EQ(Files(out), 9u) << "the nine pictures and recordings saved, nothing else";
}

// The disk of the temporary folder fills during a recording, while the
// picture's save dialog is open: the session runs with every file that its
// programs write limited in size (the test capture_full_disk), and a
// recording's temporary file grows past it once the screen moves.
TEST(FullDisk, TheRecordingStopsSaysSoAndSavesTheFramesBefore)
{
    if (!sim::EnvText(L"TEST_FILE_LIMIT")) GTEST_SKIP() << "runs in capture_full_disk alone";
    ts::SimDevice device;
    ts::Project project;
    ts::TempDir out;
    const std::array<std::string, 3> noise = Screens();  // which the GIF hardly compresses: the disk fills soon
    ts::WriteBytes(device / L"screen.bin", noise[0]);  // still: the recording holds its first frame back
    ts::HostSession host(project.Host(L"CAPTURE"));
    ASSERT_TRUE(ui::SelectOption(Capture, L"２倍(256×176)", ts::Bound));  // sooner still
    ASSERT_TRUE(ts::Click(Capture, L"録画"));
    ASSERT_TRUE(ts::Click(Capture, L"保存"));
    const HWND picture = ui::WaitForFileDialog(ts::Bound);
    ts::WriteBytes(device / L"screen.bin", noise[0] + noise[1] + noise[2]);
    EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\n録画を一時ファイルに書き込めなくなりました. それまでの録画を保存します.");
    ui::CancelFileDialog(picture);
    EXPECT_TRUE(ui::WaitUntil([&] { return !IsWindowVisible(picture); }, ts::Bound));
    ASSERT_TRUE(ts::FileDialog(out / L"full")) << "the recording's own";
    ExpectRecording(Written(out / L"full.gif"), noise, 2);
    EXPECT_TRUE(ui::WaitForButton(Capture, L"録画", ts::Bound)) << "the button reads 録画 again";
    ASSERT_TRUE(ts::Click(Capture, L"閉じる"));  // no recording runs: no question
    EXPECT_EQ(host.Finish(), ts::Texts{});
}

}  // namespace
