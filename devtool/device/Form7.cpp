// The capture window: its controls, the capture, the live view, the save, the
// copy and the recording.
#include "Form7.h"

#include "Clipboard.h"
#include "FileBytes.h"
#include "MsgBox.h"
#include "PictureFile.h"
#include "PubFnc.h"
#include "pieceif.h"
#include "pubForm.h"

#include <algorithm>

// In tab order. The option buttons belong to the window, not to the frame, so
// their clicks reach it; they are placed inside the frame. The live view, the
// copy and the recording have a row of their own below the rest. Esc closes
// the window as its close box does; Ctrl+C copies, as everywhere.
const Control Form7::Controls[] = {
    {L"Button", L"キャプチャ", ButtonStyle, {4080, 120, 1575, 495}, 0, &Form7::Command1_Click},
    {L"Button", L"表示サイズ", BS_GROUPBOX, {4080, 720, 1695, 855}},
    // Ends where its twin begins.
    {L"Button", L"１倍(128×88)", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, {4080 + 120, 720 + 240, 1455, 240}, 0,
     {}, {}, Held<&Form7::Option1, 0>},
    // Wider than its twin, up to the frame's edge, for the longer caption.
    {L"Button", L"２倍(256×176)", BS_AUTORADIOBUTTON, {4080 + 120, 720 + 480, 1530, 255}, 0, {}, {},
     Held<&Form7::Option1, 1>},
    {L"Button", L"閉じる", ButtonStyle | WS_GROUP, {4440, 2280, 1335, 375}, 0, &Form7::Command2_Click, Esc},
    {L"Static", L"", SS_OWNERDRAW, {0, 0, 3900, 2700}, WS_EX_CLIENTEDGE, &Form7::Picture1_Paint, {},
     Held<&Form7::display_>},
    {L"Button", L"保存", ButtonStyle, {4440, 1800, 1335, 375}, 0, &Form7::Command3_Click},
    {L"Button", L"ライブ", BS_AUTOCHECKBOX | WS_TABSTOP, {240, 2880, 1335, 255}, 0, &Form7::Check1_Click, {},
     Held<&Form7::Check1>},
    {L"Button", L"コピー", ButtonStyle, {2985, 2820, 1335, 375}, 0, &Form7::Command4_Click, {FCONTROL, 'C'}},
    // "停止" while recording.
    {L"Button", L"録画", ButtonStyle, {4440, 2820, 1335, 375}, 0, &Form7::Command5_Click, {},
     Held<&Form7::Command5>},
};

namespace {
bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND button, bool checked)
{
    SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The live view's capture thread posts this when a frame or its end waits.
constexpr UINT LiveNews = WM_APP;

constexpr int DisplayWidth = ScreenWidth * 2;
constexpr int DisplayHeight = ScreenHeight * 2;

void WriteFailed(HWND owner, const std::wstring& path)
{
    MsgBox(owner, path + L"への書き込みに失敗しました", MB_ICONEXCLAMATION | MB_OK);
}

void RecordingFailed(HWND owner)
{
    MsgBox(owner, L"録画を一時ファイルに書き込めませんでした. 録画を止めました.", MB_ICONEXCLAMATION | MB_OK);
}

const wchar_t PictureTypes[] = L"ビットマップファイル(*.bmp)|*.bmp|PNGファイル(*.png)|*.png|GIFファイル(*.gif)|*.gif";
}

Form7::Form7()
    : Window(L"Form7", L"キャプチャ", 5880, 3300), Picture1(DisplayWidth, DisplayHeight),
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
    SetChecked(Option1[0], true);
}

void Form7::Form_QueryUnload()
{
    if (!recording_) return;
    // The recording ends when the user closes, not when the question is answered.
    const long long closed = LiveCapture::Now();
    std::unique_ptr<Recording> recording = EndRecording();
    StopLive();
    if (MsgBox(hwnd(), L"録画を保存しますか?", MB_ICONQUESTION | MB_YESNO) == IDYES)
        SaveRecording(std::move(recording), closed);
}

void Form7::Form_Unload()
{
    live_.Stop();
    recording_.reset();
}

void Form7::Picture1_Paint(const DRAWITEMSTRUCT& item)
{
    // The display area grows with the DPI, and so does the picture, but only
    // by whole screen pixels and never smoothed: each pixel stays a sharp
    // block, as on the device. The area beyond it is white.
    const int scale = std::max(1, dpi() / 96);
    const int width = Picture1.width() * scale, height = Picture1.height() * scale;
    SetStretchBltMode(item.hDC, COLORONCOLOR);
    StretchBlt(item.hDC, 0, 0, width, height, Picture1.dc(), 0, 0, Picture1.width(), Picture1.height(),
               SRCCOPY);
    ExcludeClipRect(item.hDC, 0, 0, width, height);  // NOLINT(readability-suspicious-call-argument): right and bottom are the picture's size
    FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

int Form7::ScaleFactor() const { return Checked(Option1[1]) ? 2 : 1; }

const PictureImage& Form7::SavedPicture() const { return ScaleFactor() == 2 ? Picture1 : Picture2; }

void Form7::Cap()
{
    ScreenBuffer screen = {};
    // Without a device the buffer stays zero and the picture white; only a
    // missing library, or a device that does not answer, is told. The window
    // paints on while the device layer waits.
    if (const DeviceResult result = CaptureScreen(screen); !result) {
        MsgBox(hwnd(), NoCallText(result), MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    Draw(screen, LiveCapture::Now());
}

void Form7::Draw(const ScreenBuffer& screen, long long ms)
{
    // A live frame captured before the screen shown now (a キャプチャ click
    // took its turn at the device in between) is stale: shown, or recorded
    // after it, it would put the older screen over the newer one.
    if (ms < drawnMs_) return;
    drawnMs_ = ms;
    Picture1.Clear();
    Picture2.Clear();
    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x)
            Picture2.SetPixel(x, y, GreyColour(screen[y * ScreenWidth + x]));

    const int factor = ScaleFactor();
    GdiFlush();
    StretchBlt(Picture1.dc(), 0, 0, ScreenWidth * factor, ScreenHeight * factor, Picture2.dc(), 0, 0,
               ScreenWidth, ScreenHeight, SRCCOPY);
    InvalidateRect(display_, nullptr, FALSE);
    UpdateWindow(display_);

    // A frame captured before 録画 was clicked is recorded from the click on.
    if (recording_ && !recording_->Add(ScaledFrame(screen.data(), ScreenWidth, ScreenHeight, recordingFactor_),
                                       std::max(ms, recordingFromMs_))) {
        // The temporary folder's disk is full: what came before is kept.
        std::unique_ptr<Recording> recording = EndRecording();
        if (recording->Empty()) {
            RecordingFailed(hwnd());
            return;
        }
        MsgBox(hwnd(), L"録画を一時ファイルに書き込めなくなりました. それまでの録画を保存します.",
               MB_ICONEXCLAMATION | MB_OK);
        SaveRecording(std::move(recording), ms);
    }
}

void Form7::OnAppMessage(UINT message)
{
    if (message != LiveNews) return;
    ScreenBuffer screen;
    long long ms = 0;
    switch (live_.Take(screen, ms)) {
    case LiveCapture::News::Nothing: return;
    case LiveCapture::News::Frame: Draw(screen, ms); return;
    case LiveCapture::News::NoLibrary:
        StopLive();
        MsgBox(hwnd(), DeviceLibraryMissingText, MB_ICONEXCLAMATION | MB_OK);
        return;
    case LiveCapture::News::NoDevice:
        StopLive();
        MsgBox(hwnd(), L"P/ECEが応答しません. ライブ表示を止めました.", MB_ICONEXCLAMATION | MB_OK);
        return;
    }
}

void Form7::StopLive()
{
    live_.Stop();
    SetChecked(Check1, false);
}

// The save dialog has no owner, so the window would take clicks and a close
// while it is open: capture and save run as jobs, each to its end first.
void Form7::Command1_Click() { RunJob([this] { Cap(); }); }

void Form7::Command2_Click() { Unload(); }

void Form7::Command3_Click()
{
    RunJob([this] {
        // The live view goes on while the dialog is open: the picture is the
        // one shown at the click.
        const PictureImage& shown = SavedPicture();
        const GreyFrame picture = GreyFrameOf(shown, shown.width(), shown.height());
        const std::wstring path =
            pubForm::FileGet(PictureTypes, L"SAVE", L"", nullptr, pubForm::TypedName::WithTypeExtension);
        if (path.empty()) return;
        // The old file stays until the new one is written whole.
        const PictureType type = PictureTypeOf(FileExtension(path)).value_or(PictureType::Bitmap);
        const std::string bytes = PictureFileBytes(type, picture);
        if (bytes.empty() || !ReplaceFileBytes(path, bytes)) WriteFailed(hwnd(), path);
    });
}

void Form7::Check1_Click()
{
    if (!Checked(Check1))
        StopLive();
    else if (!live_.Running())
        live_.Start(hwnd(), LiveNews);
}

void Form7::Command4_Click()
{
    const PictureImage& picture = SavedPicture();
    if (!PutOnClipboard(hwnd(), CF_DIB, DibBytes(picture.pixels(), picture.width(), picture.height())))
        MsgBox(hwnd(), L"クリップボードに書き込めませんでした", MB_ICONEXCLAMATION | MB_OK);
}

void Form7::Command5_Click()
{
    if (recording_) {
        SaveRecording(EndRecording(), LiveCapture::Now());
        return;
    }
    recordingFactor_ = ScaleFactor();
    recordingFromMs_ = LiveCapture::Now();
    auto recording = std::make_unique<Recording>(ScreenWidth * recordingFactor_, ScreenHeight * recordingFactor_);
    if (!*recording) {
        MsgBox(hwnd(), L"録画用の一時ファイルを作成できませんでした", MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    recording_ = std::move(recording);
    SetWindowTextW(Command5, L"停止");
    if (!live_.Running()) {
        SetChecked(Check1, true);
        live_.Start(hwnd(), LiveNews);
    }
}

std::unique_ptr<Recording> Form7::EndRecording()
{
    SetWindowTextW(Command5, L"録画");
    return std::move(recording_);
}

void Form7::SaveRecording(std::unique_ptr<Recording> recording, long long endMs)
{
    // No frame came (the device library is missing): nothing to save.
    if (recording->Empty()) return;
    if (!recording->Finish(endMs)) {
        RecordingFailed(hwnd());
        return;
    }
    // Only the user throws a recording away: a refused file asks again.
    const auto ask = [&] {
        for (;;) {
            const std::wstring path = pubForm::FileGet(L"GIFファイル(*.gif)|*.gif", L"SAVE", L"", nullptr,
                                                       pubForm::TypedName::WithTypeExtension);
            if (path.empty()) {
                if (MsgBox(hwnd(), L"録画を破棄しますか?", MB_ICONQUESTION | MB_YESNO) == IDYES) return;
            } else if (recording->SaveAs(path)) {
                return;
            } else {
                WriteFailed(hwnd(), path);
            }
        }
    };
    // A recording that a full disk stopped during another job (a capture, a
    // save) is asked for over it: the window is shut to input already.
    if (!RunJob(ask)) ask();
}
