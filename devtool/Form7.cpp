#include "Form7.h"

#include "Ansi.h"
#include "MsgBox.h"
#include "pieceif.h"
#include "pubForm.h"

#include <algorithm>
#include <array>

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
constexpr std::uint32_t White = 0x00FFFFFF;

std::uint32_t PixelOf(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

template <typename T>
void Append(std::string& bytes, const T& value)
{
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(ToAnsi(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    return CloseHandle(file) && ok;
}
}

COLORREF GreyColour(unsigned char value)
{
    static const BYTE levels[] = {255, 170, 85, 0};
    const BYTE level = levels[std::min<unsigned char>(value, 3)];
    return RGB(level, level, level);
}

PictureImage::PictureImage(int width, int height) : width_(width), height_(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    Clear();
}

PictureImage::~PictureImage()
{
    SelectObject(dc_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void PictureImage::Clear()
{
    GdiFlush();
    std::fill(bits_, bits_ + width_ * height_, White);
}

void PictureImage::SetPixel(int x, int y, COLORREF colour) { bits_[y * width_ + x] = PixelOf(colour); }

const std::uint32_t* PictureImage::pixels() const
{
    GdiFlush();
    return bits_;
}

std::string BitmapFileBytes(const std::uint32_t* pixels, int width, int height)
{
    const int stride = (width * 3 + 3) & ~3;
    const DWORD imageSize = static_cast<DWORD>(stride) * height;

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // rows from the bottom, as bitmap files usually have them
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageSize;
    info.biXPelsPerMeter = info.biYPelsPerMeter = 3780;  // 96 dots an inch

    std::string bytes;
    bytes.reserve(file.bfSize);
    Append(bytes, file);
    Append(bytes, info);
    for (int y = height - 1; y >= 0; --y) {
        const std::uint32_t* row = pixels + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            bytes += static_cast<char>(row[x] & 0xFF);
            bytes += static_cast<char>((row[x] >> 8) & 0xFF);
            bytes += static_cast<char>((row[x] >> 16) & 0xFF);
        }
        bytes.append(stride - width * 3, '\0');
    }
    return bytes;
}

Form7::Form7() : picture1_(DisplayWidth, DisplayHeight), picture2_(ScreenWidth, ScreenHeight) {}

void Form7::Show(HWND owner)
{
    if (!Load(L"Form7", L"キャプチャ", 5880, 2700, owner)) return;
    CenterOnScreen();
    ShowModal(owner);
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
    picture1Box_ = AddControl(L"Static", L"", SS_OWNERDRAW, Picture1Id, 0, 0, 3900, 2700,
                              WS_EX_CLIENTEDGE);
    AddControl(L"Button", L"保存", BS_PUSHBUTTON | WS_TABSTOP, Command3Id, 4440, 1800, 1335, 375);
    CheckRadioButton(hwnd(), Option1Id, Option1LastId, Option1Id);
}

bool Form7::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return false;
        switch (LOWORD(wParam)) {
        case Command1Id: Command1_Click(); return true;
        case Command2Id:
        case IDCANCEL: Command2_Click(); return true;
        case Command3Id: Command3_Click(); return true;
        }
        return false;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlID != Picture1Id) return false;
        BitBlt(item->hDC, 0, 0, picture1_.width(), picture1_.height(), picture1_.dc(), 0, 0, SRCCOPY);
        result = TRUE;
        return true;
    }
    }
    return false;
}

int Form7::ScaleFactor() const
{
    return IsDlgButtonChecked(hwnd(), Option1Id + 1) == BST_CHECKED ? 2 : 1;
}

void Form7::Cap()
{
    std::array<unsigned char, ScreenBytes> screen = {};
    // The capture's result says nothing useful: without a device the buffer
    // stays zero and the picture white. Only a missing library is told.
    if (!DeviceCall(ismLCDCaptureScreen, screen.data(), ScreenBytes)) {
        MsgBox(hwnd(), DeviceLibraryMissingText, MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    picture1_.Clear();
    picture2_.Clear();
    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x)
            picture2_.SetPixel(x, y, GreyColour(screen[y * ScreenWidth + x]));

    const int factor = ScaleFactor();
    GdiFlush();
    StretchBlt(picture1_.dc(), 0, 0, ScreenWidth * factor, ScreenHeight * factor, picture2_.dc(), 0,
               0, ScreenWidth, ScreenHeight, SRCCOPY);
    InvalidateRect(picture1Box_, nullptr, FALSE);
    UpdateWindow(picture1Box_);
}

void Form7::Command1_Click() { Cap(); }

void Form7::Command2_Click() { Unload(); }

void Form7::Command3_Click()
{
    const std::wstring path =
        pubForm::FileGet(L"ビットマップファイル(*.bmp)|*.bmp", L"SAVE", L"", nullptr);
    if (path.empty()) return;
    const PictureImage& image = ScaleFactor() == 2 ? picture1_ : picture2_;
    if (!WriteFileBytes(path, BitmapFileBytes(image.pixels(), image.width(), image.height())))
        MsgBox(hwnd(), path + L"への書き込みに失敗しました", MB_ICONEXCLAMATION | MB_OK);
}
