// The capture window of the real device tool, driven through its buttons, with
// the saved bitmap files read back through the platform.
#include "DeviceTestSupport.h"
#include "pieceif.h"

#include <gtest/gtest.h>

namespace {

const wchar_t Caption[] = L"キャプチャ";

// The CAPTURE verb's window, open from construction to Close().
class CaptureWindow {
public:
    explicit CaptureWindow(const dt::Project& project, const std::wstring& program = L"VORTALIS0.exe")
        : session_(Options(project, program))
    {
        Ui(L"wait " + ts::Quote(Caption));
    }

    void Capture() { Ui(L"click " + ts::Quote(Caption) + L" " + ts::Quote(Caption)); }
    void Select(int factor)
    {
        Ui(L"select " + ts::Quote(Caption) + L" " + (factor == 2 ? L"２倍(256×176)" : L"１倍(128×88)"));
    }
    // Presses the save button and answers the dialog with `path`.
    void PressSave(const std::wstring& path)
    {
        Ui(L"click " + ts::Quote(Caption) + L" 保存");
        Ui(L"file-dialog " + ts::Quote(path));
    }
    dt::Picture Save(const std::wstring& path)
    {
        DeleteFileW(path.c_str());
        PressSave(path);
        EXPECT_TRUE(dt::WaitForFile(path)) << "nothing saved";
        return dt::LoadBitmapFile(path);
    }
    // The warning box's title and text, after pressing its OK.
    std::string Warning() { return Ui(L"msgbox --press ok"); }
    ts::HostResult Close()
    {
        Ui(L"click " + ts::Quote(Caption) + L" 閉じる");
        ts::HostResult result = session_.Finish();
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, 0u);
        return result;
    }

private:
    static ts::HostOptions Options(const dt::Project& project, const std::wstring& program)
    {
        ts::HostOptions options;
        options.project = project.file();
        options.args = L"CAPTURE";
        options.program = program;
        return options;
    }
    static std::string Ui(const std::wstring& arguments)
    {
        const ts::ProcessResult r = ts::Ui(arguments);
        EXPECT_EQ(r.exitCode, 0u) << ts::ToUtf8(arguments) << ": " << r.output;
        return r.output;
    }

    ts::HostSession session_;
};

// All four values spread over every row and column, the corner bytes marked,
// and values the screen format does not use.
std::string TestScreen()
{
    std::string screen(ScreenBytes, '\0');
    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x) screen[y * ScreenWidth + x] = static_cast<char>((x * 7 + y * 3) % 4);
    screen[0] = 0;
    screen[127] = 3;                // top right
    screen[128] = 2;                // first of the second row
    screen[ScreenBytes - 1] = 1;    // bottom right
    screen[10 * ScreenWidth + 10] = 4;
    screen[10 * ScreenWidth + 11] = static_cast<char>(200);
    return screen;
}

// `picture` is `width` by `height` and shows the screen at `factor` in its top
// left corner, white elsewhere.
void ExpectShows(const dt::Picture& picture, int width, int height, const std::string& screen, int factor)
{
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool inside = x < ScreenWidth * factor && y < ScreenHeight * factor;
            const std::uint32_t want =
                inside ? dt::Grey(static_cast<unsigned char>(screen[(y / factor) * ScreenWidth + x / factor]))
                       : dt::Grey(0);
            ASSERT_EQ(picture.at(x, y), want) << "pixel " << x << "," << y;
        }
}

const std::string White(ScreenBytes, '\0');

TEST(Capture, SavesWhatEachSizeShows)
{
    dt::SimDevice device;
    dt::Project project;
    ts::TempDir out;
    const std::string screen = TestScreen();
    ts::WriteBytes(device / L"screen.bin", screen);

    CaptureWindow window(project);
    // Before any capture: white, at the size selected when the window opens.
    ExpectShows(window.Save(out / L"empty.bmp"), 128, 88, White, 1);

    window.Capture();
    ExpectShows(window.Save(out / L"one.bmp"), 128, 88, screen, 1);
    // The size takes effect at the save: the 1x copy in a 2x picture.
    window.Select(2);
    ExpectShows(window.Save(out / L"one-in-two.bmp"), 256, 176, screen, 1);

    window.Capture();
    ExpectShows(window.Save(out / L"two.bmp"), 256, 176, screen, 2);
    window.Select(1);
    ExpectShows(window.Save(out / L"two-as-one.bmp"), 128, 88, screen, 1);

    // A capture at 1x after one at 2x leaves no trace of the doubled picture.
    window.Capture();
    window.Select(2);
    ExpectShows(window.Save(out / L"after-two.bmp"), 256, 176, screen, 1);

    EXPECT_TRUE(window.Close().executes.empty()) << "the capture window tells the host nothing";
    const std::vector<std::string> capture = dt::Bracket("ismLCDCaptureScreen 11264");
    EXPECT_EQ(device.Calls(), dt::Concat(dt::Concat(capture, capture), capture));
}

TEST(Capture, DevicePatternNoDeviceAndAFolderThatRefusesTheFile)
{
    dt::SimDevice device;
    dt::Project project;
    ts::TempDir out;
    CaptureWindow window(project);

    // Without a screen file the device shows four bands, value = x / 32.
    std::string bands(ScreenBytes, '\0');
    for (int i = 0; i < ScreenBytes; ++i) bands[i] = static_cast<char>((i % ScreenWidth) / 32);
    window.Capture();
    ExpectShows(window.Save(out / L"bands.bmp"), 128, 88, bands, 1);

    // No device: the buffer stays zero, so the picture turns white, unasked.
    device.Set(L"device", L"connected", L"0");
    window.Capture();
    ExpectShows(window.Save(out / L"none.bmp"), 128, 88, White, 1);

    // /proc (Z:\proc) takes no new files, not even from root.
    const std::wstring refused = L"Z:\\proc\\vortalis-capture.bmp";
    window.PressSave(refused);
    EXPECT_EQ(window.Warning(), "VORTALIS0\n" + ts::ToUtf8(refused + L"への書き込みに失敗しました"));
    EXPECT_FALSE(ts::FileExists(refused));

    EXPECT_TRUE(window.Close().executes.empty());
}

TEST(Capture, MissingLibraryWarnsAndKeepsThePicture)
{
    dt::SimDevice device;
    dt::Project project;
    ts::TempDir bin, out;
    const std::wstring program = bin / L"VORTALIS0.exe";
    ASSERT_TRUE(CopyFileW(ts::BinPath(L"VORTALIS0.exe").c_str(), program.c_str(), FALSE));

    CaptureWindow window(project, program);
    window.Capture();
    EXPECT_EQ(window.Warning(), "VORTALIS0\n" + ts::ToUtf8(L"pieceif.dllが見つかりません."));
    ExpectShows(window.Save(out / L"kept.bmp"), 128, 88, White, 1);
    EXPECT_TRUE(window.Close().executes.empty());
}

}  // namespace
