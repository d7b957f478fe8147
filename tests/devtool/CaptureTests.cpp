// The capture window of the real device tool: what each size saves, copies
// and records, read back by the platform's decoders, and its warnings.
#include "TestSupport.h"

#include <gtest/gtest.h>

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

// Copies (by the button, or by Ctrl+C into the active window) until the
// clipboard holds `expected`, the live view having caught up.
bool CopiesAs(const Frame& expected, bool keys = false)
{
    INPUT ctrlC[4] = {};
    for (int i = 0; i < 4; ++i) {
        ctrlC[i].type = INPUT_KEYBOARD;
        ctrlC[i].ki.wVk = i == 0 || i == 3 ? VK_CONTROL : 'C';
        ctrlC[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    return ui::WaitUntil([&] {
        if (!keys) {
            ts::Click(Capture, L"コピー");
        } else {
            SetForegroundWindow(ui::WaitForWindow(Capture, ts::Bound));
            SendInput(4, ctrlC, sizeof *ctrlC);
        }
        return Clipboard() == expected;
    }, ts::Bound);
}

// Saves through the dialog and decodes the file once it has come.
ts::Decoded SaveDecoded(const std::wstring& button, const std::wstring& path)
{
    EXPECT_TRUE(ts::Click(Capture, button));
    EXPECT_TRUE(ts::FileDialog(path));
    ts::Decoded decoded;
    ui::WaitUntil([&] { return !(decoded = ts::Decode(ts::ReadBytes(path))).frames.empty(); }, ts::Bound);
    return decoded;
}

// Saves the picture: true when the file holds `expected` alone.
bool Saves(const std::wstring& path, const Frame& expected)
{
    const ts::Decoded saved = SaveDecoded(L"保存", path);
    return saved.frames.size() == 1 && saved.frames[0] == expected;
}

size_t Files(const ts::TempDir& dir)
{
    WIN32_FIND_DATAW found;
    size_t count = 0;
    const HANDLE find = FindFirstFileW((dir / L"*").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found))
        count += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    return count;
}

// The captures so far: each opens and closes the library, and calls.log holds
// nothing else but the live view's question for the version when it starts.
const std::string OneCapture = ts::Bracket({"ismLCDCaptureScreen 11264"});
std::string Captured(const ts::SimDevice& device)
{
    std::string calls = device.Calls();
    const std::string version = ts::Bracket({"ismGetVersion 1"});
    for (size_t at; (at = calls.find(version)) != std::string::npos;) calls.erase(at, version.size());
    return calls;
}
size_t Captures(const ts::SimDevice& device) { return Captured(device).size() / OneCapture.size(); }

TEST(Capture, SavesCopiesTheLiveViewAndRecordings)
{
    ts::SimDevice device;
    ts::Project project;
    ts::TempDir out, temp;
    const ts::Restore tmp = ts::SetEnv(L"TMP", temp.path());
    std::string a(128 * 88, '\0'), b = a, c = a;
    const std::string white = a;
    for (size_t i = 0; i < a.size(); ++i) {
        a[i] = static_cast<char>((i % 128 * 7 + i / 128 * 3) % 4);
        b[i] = static_cast<char>(3 - i / 128 % 4);
        c[i] = static_cast<char>((i % 128 + i / 128) % 4);
    }
    a[10 * 128 + 10] = 4;  // values the screen format does not use show black
    a[10 * 128 + 11] = static_cast<char>(200);
    ts::WriteBytes(device / L"screen.bin", a);
    const std::wstring refused = L"Z:\\proc\\vortalis-capture";  // takes no new files, not even from root

    ts::HostSession host(project.Host(L"Capture"));
    EXPECT_TRUE(Saves(out / L"empty.bmp", ts::Shows(white, 1, 128, 88)));
    ASSERT_TRUE(ts::Click(Capture, Capture));
    EXPECT_TRUE(Saves(out / L"表示.bmp", ts::Shows(a, 1, 128, 88)));
    ASSERT_TRUE(ui::SelectOption(Capture, L"２倍(256×176)", ts::Bound));  // the size takes effect at the save
    EXPECT_TRUE(Saves(out / L"one-in-two.bmp", ts::Shows(a, 1, 256, 176)));
    ASSERT_TRUE(ts::Click(Capture, Capture));
    EXPECT_TRUE(Saves(out / L"two.bmp", ts::Shows(a, 2, 256, 176)));
    ASSERT_TRUE(ui::SelectOption(Capture, L"１倍(128×88)", ts::Bound));
    EXPECT_TRUE(Saves(out / L"two-as-one.bmp", ts::Shows(a, 1, 128, 88)));
    ASSERT_TRUE(ts::Click(Capture, L"保存"));
    EXPECT_TRUE(ts::FileDialog(refused + L".bmp"));
    EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\n" + refused + L".bmpへの書き込みに失敗しました");

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

    ts::WriteBytes(device / L"screen.bin", a + b + c);  // each capture the next screen
    const size_t before = Captures(device);
    ASSERT_TRUE(ts::Click(Capture, L"録画"));
    EXPECT_TRUE(ui::WaitUntil([&] { return Captures(device) >= before + 6; }, ts::Bound));
    ASSERT_TRUE(ui::SelectOption(Capture, L"１倍(128×88)", ts::Bound));  // the recording keeps its size
    EXPECT_TRUE(ui::WaitUntil([&] { return Captures(device) >= before + 12; }, ts::Bound));
    const ts::Decoded recorded = SaveDecoded(L"停止", out / L"rec.gif");
    EXPECT_EQ(recorded.loop, 0);
    EXPECT_GE(recorded.frames.size(), 3u);
    const Frame screens[] = {ts::Shows(a, 2, 256, 176), ts::Shows(b, 2, 256, 176), ts::Shows(c, 2, 256, 176)};
    for (size_t i = 0; i < recorded.frames.size(); ++i) {
        Frame frame = recorded.frames[i];
        EXPECT_GE(frame.delay, 2) << i;
        frame.delay = -1;
        EXPECT_TRUE(frame == screens[0] || frame == screens[1] || frame == screens[2]) << "frame " << i;
        EXPECT_FALSE(i > 0 && recorded.frames[i].pixels == recorded.frames[i - 1].pixels) << "frame " << i << " repeats";
    }
    // With the button reading 録画 again: a recording cancelled or refused leaves no file, not even a temporary one.
    for (const std::wstring& answer : {std::wstring(), refused + L".gif"}) {
        const size_t from = Captures(device);
        ASSERT_TRUE(ts::Click(Capture, L"録画"));
        EXPECT_TRUE(ui::WaitUntil([&] { return Captures(device) >= from + 3 && Files(temp) == 1; }, ts::Bound));
        ASSERT_TRUE(ts::Click(Capture, L"停止"));
        EXPECT_TRUE(ts::FileDialog(answer));
        if (!answer.empty()) {
            EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\n" + answer + L"への書き込みに失敗しました");
        }
        EXPECT_TRUE(ui::WaitUntil([&] { return Files(temp) == 0; }, ts::Bound)) << "the temporary file goes";
    }

    device.Set(L"device", L"connected", L"0");  // the device goes away during the live view
    EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\nP/ECEが応答しません. ライブ表示を止めました.");
    EXPECT_TRUE(ui::WaitUntil([&] { return SendMessageW(live, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, ts::Bound));
    ASSERT_TRUE(ts::Click(Capture, Capture));  // no device: the buffer stays zero, white; a second box would hold it up
    ASSERT_TRUE(ui::SelectOption(Capture, L"２倍(256×176)", ts::Bound));
    EXPECT_TRUE(Saves(out / L"none.bmp", ts::Shows(white, 1, 256, 176)));
    device.Set(L"device", L"connected", L"1");
    ASSERT_TRUE(ts::Click(Capture, L"録画"));
    EXPECT_TRUE(ui::WaitUntil([&] { return Files(temp) == 1; }, ts::Bound));
    ASSERT_TRUE(ts::Click(Capture, L"閉じる"));  // while recording
    EXPECT_EQ(ts::Box(IDNO), L"question\nVORTALIS0\n録画を保存しますか?");
    EXPECT_EQ(host.Finish(), ts::Texts{}) << "the capture window tells the host nothing";
    std::string brackets;
    for (size_t i = Captures(device); i > 0; --i) brackets += OneCapture;
    EXPECT_EQ(Captured(device), brackets);
    EXPECT_EQ(Files(temp), 0u) << "a recording not saved leaves no temporary file";
    EXPECT_EQ(Files(out), 9u) << "the nine pictures saved, nothing else";
}

}  // namespace
