// The real VTP2SDS window, driven from another process, and its drop handler.
#include "Form1.h"
#include "Ini.h"
#include "MsgBox.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

const std::wstring kCaption = L"VTP2SDSコンバートツール Ver 0.10";
const std::wstring kTitle = L"VTP2SDSコンバートツール";

class Converter {
public:
    Converter() : process_(ts::Quote(ts::BinPath(L"VTP2SDS.exe")))
    {
        ts::ProcessResult up = ts::Ui(L"wait " + ts::Quote(kCaption));
        EXPECT_EQ(up.exitCode, 0u) << up.output;
    }
    ~Converter()
    {
        ts::Ui(L"close " + ts::Quote(kCaption));
        ts::ProcessResult end = process_.Wait(10000);
        EXPECT_FALSE(end.timedOut) << "closing the window ends the program";
    }

    // Types `path`, presses the button, and returns the text of the box that follows.
    std::wstring Convert(const std::wstring& path, const wchar_t* press = L"ok")
    {
        EXPECT_EQ(ts::Ui(L"set-edit " + ts::Quote(kCaption) + L" 0 " + ts::Quote(path)).exitCode, 0u);
        EXPECT_EQ(ts::Ui(L"click " + ts::Quote(kCaption) + L" 変換").exitCode, 0u);
        return Box(press);
    }
    // The next message box's text (after checking its title), answered with `press`.
    std::wstring Box(const wchar_t* press = L"ok")
    {
        ts::ProcessResult box = ts::Ui(std::wstring(L"msgbox --press ") + press);
        EXPECT_EQ(box.exitCode, 0u) << box.output;
        const std::wstring seen = ts::FromUtf8(box.output);
        const size_t cut = seen.find(L'\n');
        EXPECT_EQ(seen.substr(0, cut), kTitle);
        return cut == std::wstring::npos ? seen : seen.substr(cut + 1);
    }
    bool NoBox()
    {
        return ts::Ui(L"--timeout 700 msgbox").exitCode != 0;
    }

private:
    ts::Process process_;
};

std::string Vtp(const std::wstring& dir, const std::wstring& mainExtra)
{
    return ts::ToCp932(L"[MAIN]\r\nPROJECT-NAME=テスト\r\n" + mainExtra + L"[C]\r\nN=1\r\n1=" + dir +
                       L"\\main.c\r\n");
}

TEST(ConverterWindow, ChecksComeInOrderAndRefuseWithoutWriting)
{
    ts::TempDir dir;
    Converter app;
    EXPECT_EQ(app.Convert(L""), L"変換するファイルを指定して下さい");
    EXPECT_EQ(app.Convert(L"   "), L"Vortalisのプロジェクトファイルではありません");
    EXPECT_EQ(app.Convert(dir / L"missing.vtp"), L"Vortalisのプロジェクトファイルではありません");
    EXPECT_EQ(app.Convert(dir.path()), L"Vortalisのプロジェクトファイルではありません");

    const std::wstring binary = dir / L"binary.vtp";
    ts::WriteBytes(binary, std::string("\xEF\xBB\xBF\0\x01\x02[MAIN\n\xFF\xFE", 13) + std::string(100000, 'x'));
    EXPECT_EQ(app.Convert(binary), L"Vortalisのプロジェクトファイルではありません");

    const std::wstring vtp = dir / L"new.vtp";
    for (const wchar_t* version : {L"0.35", L"0.36", L"0.4", L"1"}) {
        ts::WriteBytes(vtp, Vtp(dir.path(), L"VER=" + std::wstring(version) + L"\r\n"));
        EXPECT_EQ(app.Convert(vtp), L"0.35以降のVTPファイルなので変換しませんでした") << version;
    }

    // A host project file as input would be overwritten by its own conversion.
    const std::wstring sds = dir / L"host.SDS";
    const std::string host = ts::ToCp932(L"[MAIN]\r\nPROJECT-NAME=x\r\n[SOURCE]\r\nN=3\r\n1=.\\a.c\r\n");
    ts::WriteBytes(sds, host);
    EXPECT_EQ(app.Convert(sds), L"出力ファイルが入力ファイルと同じになるため変換しませんでした");
    EXPECT_EQ(ts::ReadBytes(sds), host);
    EXPECT_FALSE(ts::FileExists(dir / L"new.sds"));
    EXPECT_TRUE(app.NoBox());
}

TEST(ConverterWindow, ConfirmedConversionsWriteBesideTheInput)
{
    ts::TempDir dir;
    Converter app;
    struct Case {
        const wchar_t* name;
        std::wstring main;
    } cases[] = {{L"absent", L""}, {L"old", L"VER=0.34\r\n"}, {L"text", L"VER=abc\r\n"}};
    for (const Case& c : cases) {
        const std::wstring vtp = dir / (std::wstring(c.name) + L".vtp");
        const std::wstring sds = dir / (std::wstring(c.name) + L".sds");
        ts::WriteBytes(vtp, Vtp(dir.path(), c.main));
        EXPECT_EQ(app.Convert(vtp, L"cancel"), L"変換を開始します");
        EXPECT_TRUE(app.NoBox()) << "cancel shows nothing more";
        EXPECT_FALSE(ts::FileExists(sds)) << "cancel writes nothing";

        EXPECT_EQ(app.Convert(vtp), L"変換を開始します");
        EXPECT_EQ(app.Box(), L"変換が完了しました");
        EXPECT_EQ(ReadIniValue(L"SOURCE", L"1", L"", sds), L".\\main.c") << c.name;
        EXPECT_EQ(ReadIniValue(L"MAIN", L"PROJECT-NAME", L"", sds), L"テスト");
    }

    // A folder with a dot and an input without extension: the output stays in the folder.
    const std::wstring dotted = dir / L"my.dir";
    CreateDirectoryW(dotted.c_str(), nullptr);
    ts::WriteBytes(dotted + L"\\game", Vtp(dotted, L""));
    EXPECT_EQ(app.Convert(dotted + L"\\game"), L"変換を開始します");
    EXPECT_EQ(app.Box(), L"変換が完了しました");
    EXPECT_TRUE(ts::FileExists(dotted + L"\\game.sds"));
    EXPECT_FALSE(ts::FileExists(dir / L"my.sds"));
}

TEST(ConverterWindow, ARefusedWriteOrABadCountStopsTheConversion)
{
    ts::TempDir dir;
    Converter app;
    const std::wstring vtp = dir / L"locked.vtp", sds = dir / L"locked.sds";
    ts::WriteBytes(vtp, Vtp(dir.path(), L""));
    {
        ts::LockedFile lock(sds);
        EXPECT_EQ(app.Convert(vtp), L"変換を開始します");
        EXPECT_EQ(app.Box(), sds + L"\rへの書き込みに失敗しました");
        EXPECT_EQ(app.Box(), L"書き込みに失敗したため変換を中止しました") << "one box per refused write, then stop";
        EXPECT_TRUE(app.NoBox());
    }
    EXPECT_EQ(ts::ReadBytes(sds), "");

    const std::wstring big = dir / L"big.vtp";
    ts::WriteBytes(big, Vtp(dir.path(), L"") + "[FILE]\r\nN=32768\r\n");
    EXPECT_EQ(app.Convert(big), L"変換を開始します");
    EXPECT_EQ(app.Box(), L"[FILE] の N が -32768 ～ 32767 の範囲外のため変換を中止しました");
    EXPECT_EQ(ReadIniValue(L"SOURCE", L"1", L"", dir / L"big.sds"), L".\\main.c");
    EXPECT_EQ(ReadIniValue(L"OTHER", L"N", L"absent", dir / L"big.sds"), L"absent");
    // The window stays usable.
    EXPECT_EQ(app.Convert(L""), L"変換するファイルを指定して下さい");
}

// An HDROP as the shell builds it for a drop of `files`.
HDROP MakeDrop(const std::vector<std::wstring>& files)
{
    size_t chars = 2;  // the list ends in an empty name
    for (const auto& f : files) chars += f.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* p = reinterpret_cast<wchar_t*>(drop + 1);
    for (const auto& f : files) {
        f.copy(p, f.size());
        p += f.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

TEST(ConverterWindow, ADropPutsTheFirstFileIntoTheBox)
{
    SetAppTitle(kTitle);
    Form1 form;
    ASSERT_TRUE(form.Load());
    HWND text1 = GetDlgItem(form.hwnd(), Form1::IdText1);
    EXPECT_NE(GetWindowLongW(form.hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);

    SendMessageW(form.hwnd(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({L"C:\\a\\ゲーム.vtp", L"C:\\b.vtp", L"C:\\c.vtp"})), 0);
    EXPECT_EQ(WindowText(text1), L"C:\\a\\ゲーム.vtp");

    SendMessageW(form.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({})), 0);
    EXPECT_EQ(WindowText(text1), L"C:\\a\\ゲーム.vtp") << "a drop without files is ignored";
    EXPECT_TRUE(IsWindow(form.hwnd()));
}

}  // namespace
