// What is dropped on the converter's window, and the real VTP2SDS.exe: its
// checks and boxes, one conversion, a refused write, a file named on its
// command line.
#include "FileDrop.h"
#include "Form1.h"
#include "TestSupport.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <tuple>

namespace {

const std::wstring Caption = L"VTP2SDSコンバートツール Ver 0.10";
// A box as the driver reads it: icon, title, text.
std::wstring Says(const std::wstring& icon, const std::wstring& text) { return icon + L"\nVTP2SDSコンバートツール\n" + text; }
const std::wstring Confirm = Says(L"question", L"変換を開始します");
const std::wstring NoPath = Says(L"warning", L"変換するファイルを指定して下さい");
const std::wstring NotProject = Says(L"warning", L"Vortalisのプロジェクトファイルではありません");

// Sets the path, presses the button and answers the box that follows.
std::wstring Try(const std::wstring& path, int button = IDOK)
{
    EXPECT_TRUE(ts::SetEdit(Caption, 0, path));
    EXPECT_TRUE(ts::Click(Caption, L"変換"));
    return ts::Box(button);
}

// `bytes` in `format` as a drag from another program offers them: through the
// platform's own data object, here the clipboard's.
IDataObject* Offered(UINT format, const std::string& bytes)
{
    const HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    memcpy(GlobalLock(data), bytes.data(), bytes.size());
    GlobalUnlock(data);
    IDataObject* offered = nullptr;
    if (OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(format, data) && CloseClipboard())
        OleGetClipboard(&offered);
    return offered;
}

// A text's bytes with its terminating zero.
std::string Bytes(const std::wstring& text) { return std::string(reinterpret_cast<const char*>(text.c_str()), text.size() * 2 + 2); }

// A file list of wide paths, in the order given.
std::string FileList(std::initializer_list<std::wstring> files)
{
    const DROPFILES header = {sizeof header, {}, FALSE, TRUE};
    std::wstring list;
    for (const std::wstring& file : files) list += file + L'\0';
    return std::string(reinterpret_cast<const char*>(&header), sizeof header) + Bytes(list);
}

// Both the window and its box take drops, each by a target of its own; a
// target names the first file of a list, copied or linked, never moved, and
// takes nothing of an empty list or of text.
TEST(FileDrop, TheFirstFileOfAListCopiedOrLinkedAndNothingElse)
{
    ASSERT_EQ(OleInitialize(nullptr), S_OK);
    {
        Form1 converter;
        ASSERT_TRUE(converter.Load(nullptr));
        for (const HWND window : {converter.hwnd(), FindWindowExW(converter.hwnd(), nullptr, L"Edit", nullptr)})
            EXPECT_EQ(RevokeDragDrop(window), S_OK) << "no drop target";
        converter.Unload();
    }
    std::wstring dropped;
    FileDropTarget target([&](const std::wstring& file) { dropped = file; });
    const DWORD copy = DROPEFFECT_COPY, move = DROPEFFECT_MOVE, link = DROPEFFECT_LINK, none = DROPEFFECT_NONE;
    const struct { UINT format; std::string bytes; DWORD allowed, over, drop; std::wstring first; } cases[] = {
        {CF_HDROP, FileList({L"C:\\first.vtp", L"C:\\second.vtp"}), copy | move | link, copy, copy, L"C:\\first.vtp"},
        {CF_HDROP, FileList({L"C:\\ゲーム\\表.vtp"}), move | link, link, link, L"C:\\ゲーム\\表.vtp"},
        {CF_HDROP, FileList({L"C:\\moved.vtp"}), move, none, none, L""},
        {CF_HDROP, FileList({}), copy, copy, none, L""},
        {CF_UNICODETEXT, Bytes(L"C:\\text.vtp"), copy, none, none, L""}};
    for (const auto& c : cases) {
        IDataObject* const data = Offered(c.format, c.bytes);
        ASSERT_TRUE(data);
        DWORD over = c.allowed, drop = c.allowed;
        dropped.clear();
        target.DragEnter(data, 0, {}, &over);
        target.Drop(data, 0, {}, &drop);
        EXPECT_EQ(std::make_tuple(over, drop, dropped), std::make_tuple(c.over, c.drop, c.first)) << c.bytes.size();
        data->Release();
    }
    OleUninitialize();
}

TEST(ConverterWindow, ChecksConfirmationConversionAndRefusals)
{
    ts::TempDir dir;
    const std::wstring& d = dir.path();
    const std::wstring game = ts::Vtp(dir / L"game.vtp", L"[MAIN]\r\nPROJECT-NAME=game\r\n[C]\r\nN=2\r\n1=" + d +
                                                        L"\\a.c\r\n[FILE]\r\nN=40000\r\n");
    ts::Vtp(dir / L"v035.vtp", L"[MAIN]\r\nPROJECT-NAME=p\r\nVER=0.35\r\n");
    ts::Vtp(dir / L"noname.vtp", L"[MAIN]\r\nVER=0.34\r\n");
    ts::Vtp(dir / L"host.sds", L"[MAIN]\r\nPROJECT-NAME=host\r\n");

    // The file named on the command line fills the box; the focus is in the
    // box; the window is centred.
    ts::Process converter(ts::Quote(ts::BinPath(L"VTP2SDS.exe")) + L" " + ts::Quote(game), d);
    EXPECT_EQ(ts::Edit(Caption, 0, game), game);
    EXPECT_TRUE(ts::Focused(Caption, 0));
    EXPECT_TRUE(ts::Centred(Caption));

    EXPECT_EQ(Try(L""), NoPath);
    EXPECT_EQ(Try(dir / L"noname.vtp"), NotProject);  // as a missing file, whose name reads empty too
    // Without a folder the profile functions look in the Windows folder, not the converter's current one.
    EXPECT_EQ(Try(L"game.vtp"), NotProject);
    EXPECT_EQ(Try(L"\"" + game + L"\""), NotProject);  // quotes are part of the name as typed
    EXPECT_EQ(ts::Edit(Caption, 0, L"\"" + game + L"\""), L"\"" + game + L"\"");
    EXPECT_EQ(Try(dir / L"v035.vtp"), Says(L"information", L"0.35以降のVTPファイルなので変換しませんでした"));
    EXPECT_EQ(Try(dir / L"HOST.Sds"), Says(L"warning", L"変換先のファイルが変換元と同じファイルなので変換しませんでした"));
    EXPECT_EQ(Try(game, IDCANCEL), Confirm);
    EXPECT_EQ(Try(L""), NoPath) << "after a cancel no box follows";
    EXPECT_EQ(GetFileAttributesW((dir / L"game.sds").c_str()), INVALID_FILE_ATTRIBUTES) << "nothing written";

    // The conversion stops at the count that does not fit and names its section.
    EXPECT_EQ(Try(game), Confirm);
    EXPECT_EQ(ts::Box(), Says(L"warning", L"[FILE] の N が -32768 から 32767 の範囲にないので変換を中止しました"));
    DeleteFileW((d + L"\\game.sds").c_str());

    // A folder in the output's place: the write's box, then the stop.
    CreateDirectoryW((d + L"\\game.sds").c_str(), nullptr);
    EXPECT_EQ(Try(game), Confirm);
    EXPECT_EQ(ts::Box(), Says(L"warning", d + L"\\game.sds\rへの書き込みに失敗しました"));
    EXPECT_EQ(ts::Box(), Says(L"warning", L"書き込みに失敗したので変換を中止しました"));
    RemoveDirectoryW((d + L"\\game.sds").c_str());

    // The platform takes a slash for a backslash: typed so, the path gives the same project.
    ts::Vtp(dir / L"game.vtp", L"[MAIN]\r\nPROJECT-NAME=game\r\n[C]\r\nN=1\r\n1=" + d + L"\\a.c\r\n");
    EXPECT_EQ(Try(d + L"/game.vtp"), Confirm);
    EXPECT_EQ(ts::Box(), Says(L"information", L"変換が完了しました"));
    EXPECT_EQ(ts::Entry(d + L"\\game.sds", L"SOURCE", L"1"), L".\\a.c");

    ASSERT_TRUE(ui::PostClose(Caption, ts::Bound));
    EXPECT_EQ(converter.Wait(), 0u);
}

}  // namespace
