// The real VTP2SDS.exe, driven through uidriver: its window, the checks of the
// convert button, the conversion and the drops.
#include "ConverterTestSupport.h"
#include "DropSource.h"
#include "Ini.h"
#include "TestSupport.h"
#include "Window.h"

#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

const std::wstring Caption = L"VTP2SDSコンバートツール Ver 0.10";
const std::wstring Confirm = L"変換を開始します";
const std::wstring Done = L"変換が完了しました";
const std::wstring NoPath = L"変換するファイルを指定して下さい";
const std::wstring NotProject = L"Vortalisのプロジェクトファイルではありません";
const std::wstring TooNew = L"0.35以降のVTPファイルなので変換しませんでした";
const std::wstring SameFile = L"変換先のファイルが変換元と同じファイルなので変換しませんでした";
const std::wstring WriteStopped = L"書き込みに失敗したので変換を中止しました";

std::wstring CountStopped(const std::wstring& section)
{
    return L"[" + section + L"] の N が -32768 から 32767 の範囲にないので変換を中止しました";
}

void ExpectUi(const std::wstring& arguments)
{
    ts::ProcessResult r = ts::Ui(arguments);
    EXPECT_EQ(r.exitCode, 0u) << ts::ToUtf8(arguments) << ": " << r.output;
}

// One run of the converter, closed again at the end of the test.
class Converter {
public:
    Converter() : process_(ts::Quote(ts::BinPath(L"VTP2SDS.exe")))
    {
        ExpectUi(L"wait " + ts::Quote(Caption));
        window_ = FindWindowW(L"VTP2SDS.Form1", Caption.c_str());
        text1_ = FindWindowExW(window_, nullptr, L"Edit", nullptr);
    }
    ~Converter()
    {
        WaitForLastBoxToReturn();
        if (IsWindow(window_)) ExpectUi(L"close " + ts::Quote(Caption));
        ts::ProcessResult end = process_.Wait(10000);
        EXPECT_FALSE(end.timedOut) << "the converter did not end when its window was closed";
        EXPECT_EQ(end.exitCode, 0u);
    }

    HWND window() const { return window_; }
    HWND text1() const { return text1_; }

    void SetPath(const std::wstring& path) { ExpectUi(L"set-edit " + ts::Quote(Caption) + L" 0 " + ts::Quote(path)); }
    std::wstring Path() { return ts::FromUtf8(ts::Ui(L"get-edit " + ts::Quote(Caption) + L" 0").output); }
    void Click() { ExpectUi(L"click " + ts::Quote(Caption) + L" 変換"); }

    // Sets the path, presses the button and answers the first box.
    std::wstring Try(const std::wstring& path, const std::wstring& button = L"ok")
    {
        SetPath(path);
        Click();
        return Answer(button);
    }
    // Through the confirmation: the boxes that follow it, each answered with
    // OK, up to the converter's own closing box (failed writes come before it).
    std::vector<std::wstring> Convert(const std::wstring& path)
    {
        std::vector<std::wstring> boxes;
        EXPECT_EQ(Try(path), Confirm) << ts::ToUtf8(path);
        do {
            boxes.push_back(Answer(L"ok"));
        } while (boxes.back().find(L"への書き込みに失敗しました") != std::wstring::npos && boxes.size() < 10);
        return boxes;
    }

private:
    ts::Process process_;
    HWND window_ = nullptr;
    HWND text1_ = nullptr;
};

std::wstring MakeVtp(const ts::TempDir& dir, const std::wstring& name, const std::wstring& text)
{
    const std::wstring path = dir / name;
    WriteProjectText(path, text);
    return path;
}

// Nothing of `dir` but `names` exists.
void ExpectOnly(const ts::TempDir& dir, std::vector<std::wstring> names)
{
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((dir / L"*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") found.push_back(name);
        } while (FindNextFileW(search, &data));
        FindClose(search);
    }
    std::sort(found.begin(), found.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(found, names);
}

int Px(int twips, int index)
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return MulDiv(twips, dpi, 1440);
}

RECT ClientRectOf(HWND control, HWND parent)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring VersionString(const std::vector<char>& info, const wchar_t* name)
{
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
    if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return Absent;
    return value;
}

TEST(ConverterWindow, CaptionLayoutAndVersionResource)
{
    const std::wstring exe = ts::BinPath(L"VTP2SDS.exe");
    DWORD handle = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(exe.c_str(), &handle));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    EXPECT_EQ(VersionString(info, L"ProductName"), L"VTP2SDSコンバートツール");
    EXPECT_EQ(VersionString(info, L"FileDescription"), L"vtpファイル -> sdsファイル 変換ツール");
    EXPECT_EQ(VersionString(info, L"Comments"), L"Vortalisの.vtpファイルをQuandrixの.sdsファイルに変換するツールです");
    EXPECT_EQ(VersionString(info, L"InternalName"), L"VTP2SDS");
    EXPECT_EQ(VersionString(info, L"OriginalFilename"), L"VTP2SDS.EXE");
    EXPECT_EQ(VersionString(info, L"FileVersion"), L"0.10");
    EXPECT_EQ(VersionString(info, L"ProductVersion"), L"0.10");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(10, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(10, 0));
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);

    Converter converter;
    HWND form = converter.window();
    ASSERT_TRUE(form);
    RECT client, frame;
    GetClientRect(form, &client);
    GetWindowRect(form, &frame);
    EXPECT_EQ(client.right, Px(4680, LOGPIXELSX));
    EXPECT_EQ(client.bottom, Px(975, LOGPIXELSY));
    EXPECT_LE(std::abs((frame.left + frame.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2), 1);
    EXPECT_LE(std::abs((frame.top + frame.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2), 1);

    // Tab order is the order of the children: the box, then the button.
    HWND text1 = GetWindow(form, GW_CHILD);
    HWND command1 = GetWindow(text1, GW_HWNDNEXT);
    ASSERT_EQ(text1, converter.text1());
    ASSERT_TRUE(command1);
    EXPECT_EQ(GetWindow(command1, GW_HWNDNEXT), nullptr);
    wchar_t text[64] = {};
    GetClassNameW(command1, text, 64);
    EXPECT_STREQ(text, L"Button");
    EXPECT_EQ(WindowText(command1), L"変換");
    EXPECT_EQ(converter.Path(), L"");
    for (HWND control : {text1, command1}) EXPECT_TRUE(GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP);
    const RECT box = ClientRectOf(text1, form), button = ClientRectOf(command1, form);
    EXPECT_EQ(box.left, Px(120, LOGPIXELSX));
    EXPECT_EQ(box.top, Px(120, LOGPIXELSY));
    EXPECT_EQ(box.right - box.left, Px(4455, LOGPIXELSX));
    EXPECT_EQ(box.bottom - box.top, Px(270, LOGPIXELSY));
    EXPECT_EQ(button.left, Px(3480, LOGPIXELSX));
    EXPECT_EQ(button.top, Px(480, LOGPIXELSY));
    EXPECT_EQ(button.right - button.left, Px(1095, LOGPIXELSX));
    EXPECT_EQ(button.bottom - button.top, Px(375, LOGPIXELSY));
}

TEST(ConverterWindow, ChecksRefuseWithTheirBoxesAndWriteNothing)
{
    ts::TempDir dir;
    const std::wstring good = MakeVtp(dir, L"good.vtp", L"[MAIN]\r\nPROJECT-NAME=good\r\n");
    const std::wstring noName = MakeVtp(dir, L"noname.vtp", L"[MAIN]\r\nVER=0.34\r\n[C]\r\nN=0\r\n");
    const std::wstring emptyName = MakeVtp(dir, L"empty.vtp", L"[MAIN]\r\nPROJECT-NAME=\r\n");
    const std::wstring v035 = MakeVtp(dir, L"v035.vtp", L"[MAIN]\r\nPROJECT-NAME=p\r\nVER=0.35\r\n");
    const std::wstring v036 = MakeVtp(dir, L"v036.vtp", L"[MAIN]\r\nPROJECT-NAME=p\r\nVER=0.36\r\n");
    const std::wstring v1 = MakeVtp(dir, L"v1.vtp", L"[MAIN]\r\nPROJECT-NAME=p\r\nVER=1\r\n");
    CreateDirectoryW((dir / L"folder.vtp").c_str(), nullptr);

    Converter converter;
    EXPECT_EQ(converter.Try(L""), NoPath);
    const struct { std::wstring path, box; } cases[] = {
        {L"   ", NotProject},
        {dir / L"missing.vtp", NotProject},
        {dir / L"folder.vtp", NotProject},
        {L"\"" + good + L"\"", NotProject},  // quotes are part of the name as typed
        {noName, NotProject},
        {emptyName, NotProject},
        {v035, TooNew},
        {v036, TooNew},
        {v1, TooNew},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(converter.Try(c.path), c.box) << ts::ToUtf8(c.path);
        EXPECT_EQ(converter.Path(), c.path);  // the box keeps its text
    }
    EXPECT_FALSE(BoxFollows());
    ExpectOnly(dir, {L"good.vtp", L"noname.vtp", L"empty.vtp", L"v035.vtp", L"v036.vtp", L"v1.vtp", L"folder.vtp"});
}

TEST(ConverterWindow, ConvertsVersionsBelow035AfterConfirmation)
{
    ts::TempDir dir;
    Converter converter;
    const struct { const wchar_t* name; const wchar_t* ver; } cases[] = {
        {L"absent", nullptr}, {L"v034", L"0.34"}, {L"v03", L"0.3"}, {L"text", L"new"}, {L"v0349", L"0.349999"}};
    for (const auto& c : cases) {
        std::wstring text = L"[MAIN]\r\nPROJECT-NAME=" + std::wstring(c.name) + L"\r\n";
        if (c.ver) text += L"VER=" + std::wstring(c.ver) + L"\r\n";
        const std::wstring vtp = MakeVtp(dir, std::wstring(c.name) + L".vtp", text);
        EXPECT_EQ(converter.Convert(vtp), std::vector<std::wstring>{Done}) << ts::ToUtf8(c.name);
        EXPECT_EQ(Entry(L"MAIN", L"PROJECT-NAME", dir / (std::wstring(c.name) + L".sds")), c.name);
    }

    // Cancel at the confirmation: nothing more is shown, nothing written.
    const std::wstring vtp = MakeVtp(dir, L"cancel.vtp", L"[MAIN]\r\nPROJECT-NAME=c\r\n");
    EXPECT_EQ(converter.Try(vtp, L"cancel"), Confirm);
    EXPECT_FALSE(BoxFollows());
    EXPECT_FALSE(ts::FileExists(dir / L"cancel.sds"));
    // and the window takes the next file.
    EXPECT_EQ(converter.Convert(vtp), std::vector<std::wstring>{Done});
    EXPECT_TRUE(ts::FileExists(dir / L"cancel.sds"));
}

TEST(ConverterWindow, ConvertsTheExampleProject)
{
    ts::TempDir dir;
    CreateDirectoryW((dir / L"work").c_str(), nullptr);
    const std::wstring work = dir / L"work";
    const std::wstring vtp = MakeVtp(dir, L"work\\game.vtp",
        L"[MAIN]\r\nPROJECT-NAME=game\r\n"
        L"[C]\r\nN=3\r\n1=" + work + L"\\main.c\r\n2=" + dir.path() + L"\\lib\\util.c\r\n3=Q:\\lib\\x.c\r\n"
        L"[FILE]\r\nN=2\r\n1=" + work + L"\\a.txt\r\n"
        L"[PEX]\r\n");
    const std::string input = ts::ReadBytes(vtp);
    const std::wstring sds = work + L"\\game.sds";
    ts::WriteBytes(sds, "[HOST]\r\nKEEP=1\r\n[SOURCE]\r\nN=9\r\n9=.\\nine.c\r\n[PEX]\r\nTITLE=t\r\nICON=.\\i.pid\r\n");

    Converter converter;
    EXPECT_EQ(converter.Convert(vtp), std::vector<std::wstring>{Done});
    EXPECT_EQ(Entry(L"MAIN", L"PROJECT-NAME", sds), L"game");
    EXPECT_EQ(Entry(L"MAIN", L"LANGFILE", sds), L"piece.slf");
    EXPECT_EQ(Entry(L"SOURCE", L"N", sds), L"3");
    EXPECT_EQ(Entry(L"SOURCE", L"1", sds), L".\\main.c");
    EXPECT_EQ(Entry(L"SOURCE", L"2", sds), L"..\\lib\\util.c");
    EXPECT_EQ(Entry(L"SOURCE", L"3", sds), Absent);
    EXPECT_EQ(Entry(L"SOURCE", L"9", sds), L".\\nine.c");
    EXPECT_EQ(Entry(L"OTHER", L"N", sds), L"2");
    EXPECT_EQ(Entry(L"OTHER", L"1", sds), L".\\a.txt");
    EXPECT_EQ(Entry(L"OTHER", L"2", sds), Absent);
    EXPECT_EQ(Entry(L"HOST", L"KEEP", sds), L"1");
    EXPECT_EQ(Entry(L"PEX", L"TITLE", sds), L"t");
    EXPECT_EQ(Entry(L"PEX", L"ICON", sds), L".\\i.pid");
    EXPECT_EQ(ts::ReadBytes(vtp), input);

    // The same file again updates the same output.
    const std::string once = ts::ReadBytes(sds);
    EXPECT_EQ(converter.Convert(vtp), std::vector<std::wstring>{Done});
    EXPECT_EQ(ts::ReadBytes(sds), once);
    ExpectOnly(dir, {L"work"});
}

TEST(ConverterWindow, JapaneseFolderFileAndProjectName)
{
    ts::TempDir dir;
    CreateDirectoryW((dir / L"作業フォルダ").c_str(), nullptr);
    const std::wstring folder = dir / L"作業フォルダ";
    const std::wstring vtp = MakeVtp(dir, L"作業フォルダ\\ゲーム表.vtp",
        L"[MAIN]\r\nPROJECT-NAME=ソフト表示テスト\r\n[C]\r\nN=1\r\n1=" + folder + L"\\ソース\\本体.c\r\n"
        L"[PEX]\r\nOUTPUT=" + folder + L"\\ゲーム表.pex\r\n");

    Converter converter;
    EXPECT_EQ(converter.Convert(vtp), std::vector<std::wstring>{Done});
    const std::wstring sds = folder + L"\\ゲーム表.sds";
    EXPECT_EQ(Entry(L"MAIN", L"PROJECT-NAME", sds), L"ソフト表示テスト");
    EXPECT_EQ(Entry(L"SOURCE", L"1", sds), L".\\ソース\\本体.c");
    EXPECT_EQ(Entry(L"PEX", L"OUTPUT", sds), L".\\ゲーム表.pex");
    EXPECT_NE(ts::ReadBytes(sds).find(ts::ToCp932(L"PROJECT-NAME=ソフト表示テスト\r\n")), std::string::npos);
}

TEST(ConverterWindow, NeverWritesOverItsInput)
{
    ts::TempDir dir;
    const std::wstring sds = MakeVtp(dir, L"host.sds",
        L"[MAIN]\r\nPROJECT-NAME=host\r\n[SOURCE]\r\nN=1\r\n1=.\\main.c\r\n[PEX]\r\nINPUT=.\\main.srf\r\n");
    const std::wstring upper = MakeVtp(dir, L"UPPER.SDS", L"[MAIN]\r\nPROJECT-NAME=upper\r\n");
    const std::string hostBytes = ts::ReadBytes(sds), upperBytes = ts::ReadBytes(upper);

    Converter converter;
    for (const std::wstring& path : {sds, dir / L"HOST.Sds", upper, sds + L" "}) {
        EXPECT_EQ(converter.Try(path), SameFile) << ts::ToUtf8(path);
    }
    EXPECT_FALSE(BoxFollows());
    EXPECT_EQ(ts::ReadBytes(sds), hostBytes);
    EXPECT_EQ(ts::ReadBytes(upper), upperBytes);
    ExpectOnly(dir, {L"host.sds", L"UPPER.SDS"});
}

TEST(ConverterWindow, OutputGoesBesideAnInputWithoutExtension)
{
    ts::TempDir dir;
    CreateDirectoryW((dir / L"my.dir").c_str(), nullptr);
    const std::wstring vtp = MakeVtp(dir, L"my.dir\\game", L"[MAIN]\r\nPROJECT-NAME=p\r\n");

    Converter converter;
    EXPECT_EQ(converter.Convert(vtp), std::vector<std::wstring>{Done});
    EXPECT_EQ(Entry(L"MAIN", L"PROJECT-NAME", dir / L"my.dir\\game.sds"), L"p");
    ExpectOnly(dir, {L"my.dir"});
}

TEST(ConverterWindow, StopsAtTheFirstRefusedWriteAndSaysSo)
{
    ts::TempDir dir;
    const std::wstring vtp = MakeVtp(dir, L"game.vtp",
        L"[MAIN]\r\nPROJECT-NAME=p\r\n[C]\r\nN=2\r\n1=" + dir.path() + L"\\a.c\r\n");
    const std::wstring sds = dir / L"game.sds";
    const std::vector<std::wstring> refused = {sds + L"\rへの書き込みに失敗しました", WriteStopped};

    Converter converter;
    ASSERT_TRUE(CreateDirectoryW(sds.c_str(), nullptr));  // the output's name is taken
    EXPECT_EQ(converter.Convert(vtp), refused);
    EXPECT_FALSE(BoxFollows());
    RemoveDirectoryW(sds.c_str());

    ts::WriteBytes(sds, "[MAIN]\r\nPROJECT-NAME=old\r\n");
    HANDLE locked = CreateFileW(sds.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_EQ(converter.Convert(vtp), refused);
    CloseHandle(locked);
    EXPECT_EQ(ts::ReadBytes(sds), "[MAIN]\r\nPROJECT-NAME=old\r\n");

    // The window stays usable: the same file now converts.
    EXPECT_EQ(converter.Convert(vtp), std::vector<std::wstring>{Done});
    EXPECT_EQ(Entry(L"SOURCE", L"1", sds), L".\\a.c");
}

TEST(ConverterWindow, StopsBeforeACountThatDoesNotFitAndNamesItsSection)
{
    ts::TempDir dir;
    const std::wstring d = dir.path();
    const std::wstring sds = dir / L"game.sds";

    Converter converter;
    MakeVtp(dir, L"game.vtp", L"[MAIN]\r\nPROJECT-NAME=p\r\n[C]\r\nN=40000\r\n1=" + d + L"\\a.c\r\n");
    EXPECT_EQ(converter.Convert(dir / L"game.vtp"), std::vector<std::wstring>{CountStopped(L"C")});
    EXPECT_FALSE(BoxFollows());
    EXPECT_EQ(Entry(L"MAIN", L"PROJECT-NAME", sds), L"p");
    EXPECT_EQ(Entry(L"SOURCE", L"N", sds), Absent);

    MakeVtp(dir, L"game.vtp", L"[MAIN]\r\nPROJECT-NAME=p\r\n[C]\r\nN=1\r\n1=" + d + L"\\a.c\r\n"
                              L"[FILE]\r\nN=-1e9\r\n[PEX]\r\nINPUT=" + d + L"\\a.srf\r\n");
    EXPECT_EQ(converter.Convert(dir / L"game.vtp"), std::vector<std::wstring>{CountStopped(L"FILE")});
    EXPECT_EQ(Entry(L"SOURCE", L"1", sds), L".\\a.c");
    EXPECT_EQ(Entry(L"OTHER", L"N", sds), Absent);
    EXPECT_EQ(Entry(L"PEX", L"INPUT", sds), Absent);
    EXPECT_TRUE(IsWindow(converter.window()));
}

TEST(ConverterWindow, FilesThatAreNoIniFiles)
{
    ts::TempDir dir;
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) % 256);
    ts::WriteBytes(dir / L"binary.vtp", binary);
    ts::WriteBytes(dir / L"long.vtp", "[MAIN]\r\nJUNK=" + std::string(1 << 20, 'x') + "\r\nPROJECT-NAME=long\r\n");
    ts::WriteBytes(dir / L"noend.vtp", "[MAIN]\r\nPROJECT-NAME=noend");
    ts::WriteBytes(dir / L"bom.vtp", "\xEF\xBB\xBF[MAIN]\r\nPROJECT-NAME=bom\r\n");

    Converter converter;
    EXPECT_EQ(converter.Try(dir / L"binary.vtp"), NotProject);
    for (const wchar_t* name : {L"long", L"noend"}) {
        const std::wstring vtp = dir / (std::wstring(name) + L".vtp");
        const std::string input = ts::ReadBytes(vtp);
        EXPECT_EQ(converter.Convert(vtp), std::vector<std::wstring>{Done}) << ts::ToUtf8(name);
        EXPECT_EQ(Entry(L"MAIN", L"PROJECT-NAME", dir / (std::wstring(name) + L".sds")), name);
        EXPECT_EQ(ts::ReadBytes(vtp), input);
    }
    // A byte order mark: whatever the platform reads there decides.
    const std::wstring bom = dir / L"bom.vtp";
    if (ReadIniValue(L"MAIN", L"PROJECT-NAME", L"", bom).empty()) {
        EXPECT_EQ(converter.Try(bom), NotProject);
    } else {
        EXPECT_EQ(converter.Convert(bom), std::vector<std::wstring>{Done});
        EXPECT_EQ(Entry(L"MAIN", L"PROJECT-NAME", dir / L"bom.sds"), L"bom");
    }
    EXPECT_EQ(ts::ReadBytes(bom), "\xEF\xBB\xBF[MAIN]\r\nPROJECT-NAME=bom\r\n");
}

// OLE for the drops of this test process.
class Ole {
public:
    Ole() { OleInitialize(nullptr); }
    ~Ole() { OleUninitialize(); }
};

POINT CenterOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST(ConverterWindow, DropPutsTheFirstFileIntoTheBox)
{
    Ole ole;
    ts::TempDir dir;
    Converter converter;
    const POINT onBox = CenterOf(converter.text1());
    POINT onForm = {Px(600, LOGPIXELSX), Px(675, LOGPIXELSY)};  // below the box, left of the button
    ClientToScreen(converter.window(), &onForm);
    ASSERT_EQ(WindowFromPoint(onBox), converter.text1());
    ASSERT_EQ(WindowFromPoint(onForm), converter.window());

    EXPECT_EQ(DropFiles(onBox, {dir / L"first.vtp", dir / L"second.vtp", L"C:\\third.vtp"}), DRAGDROP_S_DROP);
    EXPECT_EQ(converter.Path(), dir / L"first.vtp");
    EXPECT_EQ(DropFiles(onForm, {L"C:\\ゲーム\\表.vtp", dir / L"other.vtp"}), DRAGDROP_S_DROP);
    EXPECT_EQ(converter.Path(), L"C:\\ゲーム\\表.vtp");

    // No file list: refused, and the box keeps its text.
    EXPECT_EQ(DropText(onBox, L"C:\\text.vtp"), DRAGDROP_S_DROP);
    EXPECT_EQ(DropText(onForm, L"C:\\text.vtp"), DRAGDROP_S_DROP);
    EXPECT_EQ(DropFiles(onBox, {}), DRAGDROP_S_DROP);
    EXPECT_EQ(converter.Path(), L"C:\\ゲーム\\表.vtp");

    // A drop shows nothing and converts nothing; the window still answers.
    EXPECT_FALSE(BoxFollows(2000));
    ExpectOnly(dir, {});
    converter.SetPath(L"");
    converter.Click();
    EXPECT_EQ(Answer(L"ok"), NoPath);
}

}  // namespace
