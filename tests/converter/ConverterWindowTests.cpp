// The real VTP2SDS.exe: its checks and boxes, one conversion, a refused write,
// a file named on its command line and files dropped on it.
#include "TestSupport.h"

#include <ole2.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>

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

// Drags from this process as the shell does, by real OLE drag and drop with the
// cursor held still: the data are the clipboard's, through the platform's own
// data object, and the drop follows after a few polls.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class Dragger : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        const bool mine = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource);
        *object = mine ? this : nullptr;
        return mine ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the stack of the drag
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override { return ++polls_ >= 3 ? DRAGDROP_S_DROP : S_OK; }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

    // `bytes` in `format` dropped at `screen`.
    static HRESULT Drop(POINT screen, UINT format, const std::string& bytes)
    {
        HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        memcpy(GlobalLock(data), bytes.data(), bytes.size());
        GlobalUnlock(data);
        OpenClipboard(nullptr);
        EmptyClipboard();
        SetClipboardData(format, data);
        CloseClipboard();
        IDataObject* clipboard = nullptr;
        if (FAILED(OleGetClipboard(&clipboard))) return E_FAIL;
        SetCursorPos(screen.x, screen.y);
        Dragger source;
        DWORD effect = DROPEFFECT_NONE;
        const HRESULT done = DoDragDrop(clipboard, &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect);
        clipboard->Release();
        return done;
    }
    // A file list of wide paths, in the order given.
    static HRESULT DropFiles(POINT screen, const std::vector<std::wstring>& files)
    {
        DROPFILES header = {sizeof header, {}, FALSE, TRUE};
        std::wstring list;
        for (const std::wstring& file : files) list += file + L'\0';
        list += L'\0';
        return Drop(screen, CF_HDROP, std::string(reinterpret_cast<const char*>(&header), sizeof header) +
                                          std::string(reinterpret_cast<const char*>(list.data()), list.size() * 2));
    }

private:
    int polls_ = 0;
};
#pragma GCC diagnostic pop

TEST(ConverterWindow, ChecksConfirmationConversionRefusalsAndDrops)
{
    OleInitialize(nullptr);
    ts::TempDir dir;
    const std::wstring& d = dir.path();
    const std::wstring game = ts::Vtp(dir / L"game.vtp", L"[MAIN]\r\nPROJECT-NAME=game\r\n[C]\r\nN=2\r\n1=" + d +
                                                        L"\\a.c\r\n[FILE]\r\nN=40000\r\n");
    ts::Vtp(dir / L"v035.vtp", L"[MAIN]\r\nPROJECT-NAME=p\r\nVER=0.35\r\n");
    ts::Vtp(dir / L"noname.vtp", L"[MAIN]\r\nVER=0.34\r\n");
    ts::Vtp(dir / L"host.sds", L"[MAIN]\r\nPROJECT-NAME=host\r\n");

    // The file named on the command line fills the box; the focus is in the box.
    ts::Process converter(ts::Quote(ts::BinPath(L"VTP2SDS.exe")) + L" " + ts::Quote(game), d);
    EXPECT_EQ(ts::Edit(Caption, 0, game), game);
    EXPECT_TRUE(ts::Focused(Caption, 0));

    EXPECT_EQ(Try(L""), NoPath);
    EXPECT_EQ(Try(dir / L"missing.vtp"), NotProject);
    EXPECT_EQ(Try(dir / L"noname.vtp"), NotProject);
    // Without a folder the profile functions look in the Windows folder, not the converter's current one.
    EXPECT_EQ(Try(L"game.vtp"), NotProject);
    EXPECT_EQ(Try(L"\"" + game + L"\""), NotProject);  // quotes are part of the name as typed
    EXPECT_EQ(ts::Edit(Caption, 0, L"\"" + game + L"\""), L"\"" + game + L"\"");
    EXPECT_EQ(Try(dir / L"v035.vtp"), Says(L"information", L"0.35以降のVTPファイルなので変換しませんでした"));
    EXPECT_EQ(Try(dir / L"HOST.Sds"), Says(L"warning", L"変換先のファイルが変換元と同じファイルなので変換しませんでした"));
    EXPECT_EQ(Try(game, IDCANCEL), Confirm);
    EXPECT_EQ(Try(L""), NoPath) << "after a cancel no box follows";
    EXPECT_EQ(GetFileAttributesW((dir / L"game.sds").c_str()), INVALID_FILE_ATTRIBUTES) << "nothing written";

    // The conversion runs to the count that does not fit and names its section.
    EXPECT_EQ(Try(game), Confirm);
    EXPECT_EQ(ts::Box(), Says(L"warning", L"[FILE] の N が -32768 から 32767 の範囲にないので変換を中止しました"));
    EXPECT_EQ(ts::Entry(d + L"\\game.sds", L"SOURCE", L"1"), L".\\a.c");
    DeleteFileW((d + L"\\game.sds").c_str());

    // A folder in the output's place: the write's box, then the stop.
    CreateDirectoryW((d + L"\\game.sds").c_str(), nullptr);
    EXPECT_EQ(Try(game), Confirm);
    EXPECT_EQ(ts::Box(), Says(L"warning", d + L"\\game.sds\rへの書き込みに失敗しました"));
    EXPECT_EQ(ts::Box(), Says(L"warning", L"書き込みに失敗したので変換を中止しました"));
    RemoveDirectoryW((d + L"\\game.sds").c_str());

    // The platform takes a slash for a backslash: typed either way, the path gives the same project.
    ts::Vtp(dir / L"game.vtp", L"[MAIN]\r\nPROJECT-NAME=game\r\n[C]\r\nN=1\r\n1=" + d + L"\\a.c\r\n");
    std::wstring slashes = game;
    std::replace(slashes.begin(), slashes.end(), L'\\', L'/');
    for (const std::wstring& typed : {game, d + L"/game.vtp", slashes}) {
        DeleteFileW((d + L"\\game.sds").c_str());
        EXPECT_EQ(Try(typed), Confirm);
        EXPECT_EQ(ts::Box(), Says(L"information", L"変換が完了しました"));
        EXPECT_EQ(ts::Entry(d + L"\\game.sds", L"SOURCE", L"1"), L".\\a.c") << ts::Utf8(typed);
    }

    // A drop puts the first file of its list into the box, and nothing else.
    HWND form = FindWindowW(nullptr, Caption.c_str()), box = FindWindowExW(form, nullptr, L"Edit", nullptr);
    RECT r;
    GetWindowRect(box, &r);
    const POINT onBox = {(r.left + r.right) / 2, (r.top + r.bottom) / 2}, onForm = {r.left + 5, r.bottom + 10};
    ASSERT_EQ(WindowFromPoint(onForm), form);
    EXPECT_EQ(Dragger::DropFiles(onBox, {L"C:\\first.vtp", L"C:\\second.vtp"}), DRAGDROP_S_DROP);
    EXPECT_EQ(ts::Edit(Caption, 0, L"C:\\first.vtp"), L"C:\\first.vtp");
    EXPECT_EQ(Dragger::DropFiles(onForm, {L"C:\\ゲーム\\表.vtp", L"C:\\other.vtp"}), DRAGDROP_S_DROP);
    EXPECT_EQ(ts::Edit(Caption, 0, L"C:\\ゲーム\\表.vtp"), L"C:\\ゲーム\\表.vtp");
    const std::wstring text = L"C:\\text.vtp";  // no file list: refused
    EXPECT_EQ(Dragger::Drop(onBox, CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(text.c_str()), text.size() * 2 + 2)),
              DRAGDROP_S_DROP);
    EXPECT_EQ(Dragger::DropFiles(onForm, {}), DRAGDROP_S_DROP);
    EXPECT_EQ(ts::Edit(Caption, 0, L"C:\\ゲーム\\表.vtp"), L"C:\\ゲーム\\表.vtp");
    EXPECT_EQ(Try(L""), NoPath) << "a drop shows no box";
    ASSERT_TRUE(ui::PostClose(Caption, ts::Bound));
    EXPECT_EQ(converter.Wait(), 0u);
    OleUninitialize();
}

}  // namespace
