// The capture window: its controls, the capture and the save.
#include "Form7.h"

#include "FileBytes.h"
#include "MsgBox.h"
#include "pieceif.h"
#include "pubForm.h"

namespace {
enum ControlId {
    Command1Id = 100,
    Frame1Id,
    Option1Id,  // the option array: index i has the id Option1Id + i
    Option1LastId,
    Command2Id,
    Picture1Id,
    Command3Id,
};

constexpr int DisplayWidth = ScreenWidth * 2;
constexpr int DisplayHeight = ScreenHeight * 2;
}

Form7::Form7() : Picture1(DisplayWidth, DisplayHeight), Picture2(ScreenWidth, ScreenHeight) {}

void Form7::Show(HWND owner)
{
    if (!Picture1 || !Picture2) {
        MsgBox(owner, L"キャプチャ画像を作成できませんでした", MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    ShowCenteredModal(L"Form7", L"キャプチャ", 5880, 2700, owner);
}

void Form7::Form_Load()
{
    AddControl(L"Button", L"キャプチャ", BS_PUSHBUTTON | WS_TABSTOP, Command1Id, 4080, 120, 1575, 495);
    AddControl(L"Button", L"表示サイズ", BS_GROUPBOX, Frame1Id, 4080, 720, 1695, 855);
    // The option buttons belong to the window, not to the frame, so their
    // clicks reach it; they are placed inside the frame.
    AddControl(L"Button", L"１倍(128×88)", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, Option1Id,
               4080 + 120, 720 + 240, 1455, 255);
    AddControl(L"Button", L"２倍(256×176)", BS_AUTORADIOBUTTON, Option1Id + 1, 4080 + 120, 720 + 480,
               1455, 255);
    AddControl(L"Button", L"閉じる", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, Command2Id, 4440, 2280,
               1335, 375);
    AddControl(L"Static", L"", SS_OWNERDRAW, Picture1Id, 0, 0, 3900, 2700, WS_EX_CLIENTEDGE);
    AddControl(L"Button", L"保存", BS_PUSHBUTTON | WS_TABSTOP, Command3Id, 4440, 1800, 1335, 375);
    CheckRadioButton(hwnd(), Option1Id, Option1LastId, Option1Id);
}

bool Form7::OnCommand(int id, int code)
{
    if (code != BN_CLICKED) return false;
    switch (id) {
    case Command1Id: Command1_Click(); return true;
    case Command2Id:
    case IDCANCEL: Command2_Click(); return true;
    case Command3Id: Command3_Click(); return true;
    }
    return false;
}

bool Form7::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.CtlID != Picture1Id) return false;
    BitBlt(item.hDC, 0, 0, Picture1.width(), Picture1.height(), Picture1.dc(), 0, 0, SRCCOPY);
    return true;
}

int Form7::ScaleFactor() const
{
    return IsDlgButtonChecked(hwnd(), Option1Id + 1) == BST_CHECKED ? 2 : 1;
}

void Form7::Cap()
{
    ScreenBuffer screen = {};
    // Without a device the buffer stays zero and the picture white; only a
    // missing library is told.
    if (!CaptureScreen(screen)) {
        MsgBox(hwnd(), DeviceLibraryMissingText, MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    Picture1.Clear();
    Picture2.Clear();
    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x)
            Picture2.SetPixel(x, y, GreyColour(screen[y * ScreenWidth + x]));

    const int factor = ScaleFactor();
    GdiFlush();
    StretchBlt(Picture1.dc(), 0, 0, ScreenWidth * factor, ScreenHeight * factor, Picture2.dc(), 0, 0,
               ScreenWidth, ScreenHeight, SRCCOPY);
    const HWND display = GetDlgItem(hwnd(), Picture1Id);
    InvalidateRect(display, nullptr, FALSE);
    UpdateWindow(display);
}

// The save dialog has no owner, so the window would take clicks and a close
// while it is open: capture and save run as jobs, each to its end first.
void Form7::Command1_Click() { RunJob([this] { Cap(); }); }

void Form7::Command2_Click() { Unload(); }

void Form7::Command3_Click()
{
    RunJob([this] {
        const std::wstring path =
            pubForm::FileGet(L"ビットマップファイル(*.bmp)|*.bmp", L"SAVE", L"", nullptr);
        if (path.empty()) return;
        // The old file stays until the new one is written whole.
        const PictureImage& image = ScaleFactor() == 2 ? Picture1 : Picture2;
        if (!ReplaceFileBytes(path, BitmapFileBytes(image.pixels(), image.width(), image.height())))
            MsgBox(hwnd(), path + L"への書き込みに失敗しました", MB_ICONEXCLAMATION | MB_OK);
    });
}
