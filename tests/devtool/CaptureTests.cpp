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

// Copies (by the button, or by Ctrl+C) until the clipboard holds `expected`,
// the live view having caught up. Each copy is waited for, so that none is
// still on its way when the caller reads the clipboard.
bool CopiesAs(const Frame& expected, bool keys = false)
{
    return ui::WaitUntil([&] {
        const DWORD before = GetClipboardSequenceNumber();
        if (keys) Press({VK_CONTROL, 'C'}); else ts::Click(Capture, L"コピー");
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

// Saves the picture through the dialog: true when the file holds `expected` alone.
bool Saves(const std::wstring& path, const Frame& expected)
{
    EXPECT_TRUE(ts::Click(Capture, L"保存"));
    EXPECT_TRUE(ts::FileDialog(path));
    const ts::Decoded saved = Written(path);
    return saved.frames.size() == 1 && saved.frames[0] == expected;
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

// The captures so far: calls.log without the live view's questions for the
// version. (That each opens and closes the library: the device layer's test.)
const std::string OneCapture = ts::Bracket({"ismLCDCaptureScreen 11264"});
size_t Captures(const ts::SimDevice& device)
{
    std::string calls = device.Calls();
    const std::string version = ts::Bracket({"ismGetVersion 1"});
    for (size_t at; (at = calls.find(version)) != std::string::npos;) calls.erase(at, version.size());
    return calls.size() / OneCapture.size();
}

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
    ASSERT_TRUE(ts::Click(Capture, Capture));
    EXPECT_TRUE(Saves(out / L"表示.bmp", ts::Shows(a, 1, 128, 88)));
    ASSERT_TRUE(ui::SelectOption(Capture, L"２倍(256×176)", ts::Bound));  // the size takes effect at the save
    EXPECT_TRUE(Saves(out / L"one-in-two.bmp", ts::Shows(a, 1, 256, 176)));
    ASSERT_TRUE(ts::Click(Capture, Capture));
    EXPECT_TRUE(Saves(out / L"two.bmp", ts::Shows(a, 2, 256, 176)));
    ASSERT_TRUE(ui::SelectOption(Capture, L"１倍(128×88)", ts::Bound));
    EXPECT_TRUE(Saves(out / L"two-as-one.bmp", ts::Shows(a, 1, 128, 88)));
    // Captured at 1x over the doubled picture: none of it is left.
    ASSERT_TRUE(ts::Click(Capture, Capture));
    ASSERT_TRUE(ui::SelectOption(Capture, L"２倍(256×176)", ts::Bound));
    EXPECT_TRUE(Saves(out / L"one-over-two.bmp", ts::Shows(a, 1, 256, 176)));
    EXPECT_TRUE(CopiesAs(ts::Shows(a, 1, 256, 176)));
    ASSERT_TRUE(ui::SelectOption(Capture, L"１倍(128×88)", ts::Bound));
    ASSERT_TRUE(ts::Click(Capture, L"保存"));
    EXPECT_TRUE(ts::FileDialog(refused + L".bmp"));
    EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\n" + refused + L".bmpへの書き込みに失敗しました");
    ASSERT_TRUE(ts::Click(Capture, L"保存"));
    EXPECT_TRUE(ts::FileDialog(L""));
    EXPECT_TRUE(ts::NoBox(Capture)) << "a cancelled save says nothing";

    ts::WriteBytes(device / L"screen.bin", b);
    const HWND live = ui::WaitForButton(Capture, L"ライブ", ts::Bound);
    ui::PostSelect(live);
    EXPECT_TRUE(CopiesAs(ts::Shows(b, 1, 128, 88), true)) << "the live view follows the device; Ctrl+C copies";
    ASSERT_TRUE(ui::SelectOption(Capture, L"２倍(256×176)", ts::Bound));
    EXPECT_TRUE(CopiesAs(ts::Shows(b, 2, 256, 176))) << "at the size selected now";
    for (const auto& [name, signature] : {std::pair(L"SHOT.PNG", "\x89PNG"), std::pair(L"shot.Gif", "GIF8")}) {
        EXPECT_TRUE(Saves(out / name, Clipboard())) << ts::Utf8(name) << " holds what コピー copied";
        EXPECT_EQ(ts::ReadBytes(out / name).substr(0, 4), signature) << "the kind the name asks for, in any case";
    }
    // The picture shown at the click, though the device shows another before
    // the dialog is answered; a name without an extension gets the type's.
    ASSERT_TRUE(ts::Click(Capture, L"保存"));
    EXPECT_EQ(ui::Caption(ui::WaitForFileDialog(ts::Bound)), L"名前を付けて保存") << "the save dialog";
    ts::WriteBytes(device / L"screen.bin", c);
    const size_t clicked = Captures(device);
    EXPECT_TRUE(ui::WaitUntil([&] { return Captures(device) >= clicked + 3; }, ts::Bound));
    EXPECT_TRUE(ts::FileDialog(out / L"clicked", L"", 1));
    const ts::Decoded shot = Written(out / L"clicked.png");
    EXPECT_TRUE(shot.frames.size() == 1 && shot.frames[0] == ts::Shows(b, 2, 256, 176));

    // A recording at 2x that the user stops, whose delays add up to the time
    // between the clicks; a refused file and a cancel the user does not want
    // to throw it away with ask again.
    ts::WriteBytes(device / L"screen.bin", a + b + c);  // each capture the next screen
    const auto now = [] { return std::chrono::steady_clock::now(); };
    const auto started = now();
    ASSERT_TRUE(ts::Click(Capture, L"録画"));
    ASSERT_TRUE(ui::SelectOption(Capture, L"１倍(128×88)", ts::Bound));  // the recording keeps its size
    ASSERT_TRUE(ui::WaitForButton(Capture, L"停止", ts::Bound));
    const size_t before = Captures(device);
    EXPECT_TRUE(ui::WaitUntil([&] { return Captures(device) >= before + 2; }, ts::Bound));
    const auto firstFrame = now();  // the recording's first frame was captured before
    EXPECT_TRUE(ui::WaitUntil([&] { return Captures(device) >= before + 18; }, ts::Bound));
    const auto stopped = now();
    ASSERT_TRUE(ts::Click(Capture, L"停止"));
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
    const auto between = [](auto from, auto to) { return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count(); };
    // Rounded to hundredths, and a last frame too short to be shown left out.
    EXPECT_GE(ms, between(firstFrame, stopped) - 20);
    EXPECT_LE(ms, between(started, asked) + 10);
    // Thrown away when the user says so: no file stays, not even a temporary one.
    const size_t from = Captures(device);
    ASSERT_TRUE(ts::Click(Capture, L"録画"));
    EXPECT_TRUE(ui::WaitUntil([&] { return Captures(device) >= from + 3 && Files(temp) == 1; }, ts::Bound));
    ASSERT_TRUE(ts::Click(Capture, L"停止"));
    EXPECT_TRUE(ts::FileDialog(L""));
    EXPECT_EQ(ts::Box(IDYES), L"question\nVORTALIS0\n録画を破棄しますか?");
    EXPECT_TRUE(ui::WaitUntil([&] { return Files(temp) == 0; }, ts::Bound)) << "the temporary file goes";

    device.Set(L"device", L"connected", L"0");  // the device goes away during the live view
    EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\nP/ECEが応答しません. ライブ表示を止めました.");
    EXPECT_TRUE(ui::WaitUntil([&] { return SendMessageW(live, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, ts::Bound));
    ASSERT_TRUE(ui::SelectOption(Capture, L"２倍(256×176)", ts::Bound));
    ASSERT_TRUE(ts::Click(Capture, Capture));  // no device: the buffer stays zero, white; a second box would hold it up
    EXPECT_TRUE(Saves(out / L"none.bmp", ts::Shows(white, 1, 256, 176)));

    // A recording at 1x, closed while it runs and saved when asked.
    // Checked again once the device is back, the live view captures again;
    // unchecked, no more: nothing comes between two captures of the button's.
    device.Set(L"device", L"connected", L"1");
    const size_t back = Captures(device);
    ui::PostSelect(live);
    EXPECT_TRUE(ui::WaitUntil([&] { return Captures(device) >= back + 3; }, ts::Bound));
    ui::PostSelect(live);
    ASSERT_TRUE(ts::Click(Capture, Capture));
    std::string calls;
    ASSERT_TRUE(ui::WaitUntil([&] {
        calls = device.Calls();
        return calls.size() > OneCapture.size() && calls.substr(calls.size() - OneCapture.size()) == OneCapture;
    }, ts::Bound));
    ASSERT_TRUE(ts::Click(Capture, Capture));
    EXPECT_TRUE(ui::WaitUntil([&] { return device.Calls().size() >= calls.size() + OneCapture.size(); }, ts::Bound));
    EXPECT_EQ(device.Calls(), calls + OneCapture);
    ASSERT_TRUE(ui::SelectOption(Capture, L"１倍(128×88)", ts::Bound));
    const size_t last = Captures(device);
    ASSERT_TRUE(ts::Click(Capture, L"録画"));
    EXPECT_TRUE(ui::WaitUntil([&] { return Captures(device) >= last + 8; }, ts::Bound));
    Press({VK_ESCAPE});
    EXPECT_EQ(ts::Box(IDYES), L"question\nVORTALIS0\n録画を保存しますか?");
    EXPECT_TRUE(ts::FileDialog(out / L"closed.gif"));
    ExpectRecording(Written(out / L"closed.gif"), {a, b, c}, 1);
    EXPECT_EQ(host.Finish(), ts::Texts{}) << "the capture window tells the host nothing";
    EXPECT_EQ(Files(temp), 0u) << "a recording not saved leaves no temporary file";
    EXPECT_EQ(Files(out), 12u) << "the twelve pictures and recordings saved, nothing else";
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
    EXPECT_TRUE(ui::WaitUntil([&] { return Captures(device) >= 2; }, ts::Bound));
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
