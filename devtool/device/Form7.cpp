// The capture window: its controls, the capture and the save.
#include "Form7.h"

#include "FileBytes.h"
#include "MsgBox.h"
#include "pieceif.h"
#include "pubForm.h"

#include <algorithm>

namespace {
enum ControlId {
    Command1Id = 100,  // "キャプチャ"
    Command2Id,        // "閉じる"
    Command3Id,        // "保存"
    Frame1Id,          // "表示サイズ"
    Option1Id0,        // "１倍(128×88)"; the array's index i has the id Option1Id0 + i
    Option1Id1,        // "２倍(256×176)"
    Picture1Id,        // the display area
};

constexpr DWORD ButtonStyle = BS_PUSHBUTTON | WS_TABSTOP;

// In tab order. The option buttons belong to the window, not to the frame, so
// their clicks reach it; they are placed inside the frame.
const Control Controls[] = {
    {Command1Id, L"Button", L"キャプチャ", ButtonStyle, {4080, 120, 1575, 495}, 0},
    {Frame1Id, L"Button", L"表示サイズ", BS_GROUPBOX, {4080, 720, 1695, 855}, 0},
    {Option1Id0, L"Button", L"１倍(128×88)", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP,
     {4080 + 120, 720 + 240, 1455, 255}, 0},
    // Wider than its twin, up to the frame's edge, for the longer caption.
    {Option1Id1, L"Button", L"２倍(256×176)", BS_AUTORADIOBUTTON, {4080 + 120, 720 + 480, 1530, 255}, 0},
    {Command2Id, L"Button", L"閉じる", ButtonStyle | WS_GROUP, {4440, 2280, 1335, 375}, 0},
    {Picture1Id, L"Static", L"", SS_OWNERDRAW, {0, 0, 3900, 2700}, WS_EX_CLIENTEDGE},
    {Command3Id, L"Button", L"保存", ButtonStyle, {4440, 1800, 1335, 375}, 0},
};

constexpr int DisplayWidth = ScreenWidth * 2;
constexpr int DisplayHeight = ScreenHeight * 2;
}

Form7::Form7()
    : Window(L"Form7", L"キャプチャ", 5880, 2700), Picture1(DisplayWidth, DisplayHeight),
      Picture2(ScreenWidth, ScreenHeight)
{
}

void Form7::Show(HWND owner)
{
    if (!Picture1 || !Picture2) {
        MsgBox(owner, L"キャプチャ画像を作成できませんでした", MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    ShowCenteredModal(owner);
}

void Form7::Form_Load()
{
    AddControls(Controls);
    CheckRadioButton(hwnd(), Option1Id0, Option1Id1, Option1Id0);
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
    // The display area grows with the DPI, and so does the picture, but only
    // by whole screen pixels and never smoothed: each pixel stays a sharp
    // block, as on the device. The area beyond it is white.
    const int scale = std::max(1, dpi() / 96);
    const int width = Picture1.width() * scale, height = Picture1.height() * scale;
    SetStretchBltMode(item.hDC, COLORONCOLOR);
    StretchBlt(item.hDC, 0, 0, width, height, Picture1.dc(), 0, 0, Picture1.width(), Picture1.height(),
               SRCCOPY);
    ExcludeClipRect(item.hDC, 0, 0, width, height);
    FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return true;
}

int Form7::ScaleFactor() const
{
    return IsDlgButtonChecked(hwnd(), Option1Id1) == BST_CHECKED ? 2 : 1;
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
