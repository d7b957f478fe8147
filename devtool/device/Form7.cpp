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
// copy and the recording have a row of their own below the rest, always on
// top and closing one more. When the window grows, the display area takes
// the room, the column of buttons beside it stays beside it and the rows
// below it stay below it. Each button has a key a Windows user would guess:
// F5 captures, Ctrl+S saves, Ctrl+C copies, Ctrl+R records and stops, Ctrl+L
// and Ctrl+T tick and untick the live view and always on top, 1 to 4 choose
// the size, Esc closes the window as its close box does.
const Control Form7::Controls[] = {
    {L"Button", L"キャプチャ", ButtonStyle, {4080, 120, 1575, 495, AtRight}, 0, &Form7::Command1_Click, {0, VK_F5}},
    {L"Button", L"表示サイズ", BS_GROUPBOX, {4080, 720, 1695, 1335, AtRight}},
    // Each ends where the next begins; those with the longer captions reach
    // the frame's edge.
    {L"Button", L"１倍(128×88)", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, {4200, 960, 1455, 240, AtRight}, 0,
     {&Form7::Option1_Click, 0}, {0, '1'}, Held<&Form7::Option1, 0>},
    {L"Button", L"２倍(256×176)", BS_AUTORADIOBUTTON, {4200, 1200, 1530, 240, AtRight}, 0, {&Form7::Option1_Click, 1},
     {0, '2'}, Held<&Form7::Option1, 1>},
    {L"Button", L"３倍(384×264)", BS_AUTORADIOBUTTON, {4200, 1440, 1530, 240, AtRight}, 0, {&Form7::Option1_Click, 2},
     {0, '3'}, Held<&Form7::Option1, 2>},
    {L"Button", L"４倍(512×352)", BS_AUTORADIOBUTTON, {4200, 1680, 1530, 255, AtRight}, 0, {&Form7::Option1_Click, 3},
     {0, '4'}, Held<&Form7::Option1, 3>},
    {L"Button", L"閉じる", ButtonStyle | WS_GROUP, {4440, 3300, 1335, 375, AtBottomRight}, 0, &Form7::Command2_Click, Esc},
    {L"Static", L"", SS_OWNERDRAW, {0, 0, 3900, 2700, Fills}, WS_EX_CLIENTEDGE, &Form7::Picture1_Paint, {},
     Held<&Form7::display_>},
    {L"Button", L"保存", ButtonStyle, {4440, 2160, 1335, 375, AtRight}, 0, &Form7::Command3_Click, {FCONTROL, 'S'}},
    {L"Button", L"ライブ", BS_AUTOCHECKBOX | WS_TABSTOP, {240, 2880, 1335, 255, AtBottom}, 0, &Form7::Check1_Click,
     {FCONTROL, 'L'}, Held<&Form7::Check1>},
    {L"Button", L"コピー", ButtonStyle, {2985, 2820, 1335, 375, AtBottomRight}, 0, &Form7::Command4_Click, {FCONTROL, 'C'}},
    // "停止" while recording.
    {L"Button", L"録画", ButtonStyle, {4440, 2820, 1335, 375, AtBottomRight}, 0, &Form7::Command5_Click, {FCONTROL, 'R'},
     Held<&Form7::Command5>},
    {L"Button", L"常に手前に表示", BS_AUTOCHECKBOX | WS_TABSTOP, {240, 3360, 2400, 255, AtBottom}, 0,
     &Form7::Check2_Click, {FCONTROL, 'T'}, Held<&Form7::Check2>},
};

namespace {
bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND button, bool checked)
{
    SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The live view's capture thread posts this when a frame or its end waits.
constexpr UINT LiveNews = WM_APP;

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

Form7::Form7() : Window(L"Form7", L"キャプチャ", 5880, 3780, Sizing::Sizable), Picture2(ScreenWidth, ScreenHeight) {}

void Form7::Show(HWND owner)
{
    if (!Picture2) {
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

void Form7::OnDpiChanged()
{
    // The whole multiple of a device pixel may change with the DPI, and so
    // what the size selected needs.
    SetLeastGrowth(NeededGrowth(ScaleFactor()), Fit::Grow);
}

void Form7::Picture1_Paint(const DRAWITEMSTRUCT& item)
{
    // Each device pixel a sharp block of whole screen pixels, never smoothed,
    // as on the device; the area beyond the picture is white.
    const RECT shown = PictureRect();
    SetStretchBltMode(item.hDC, COLORONCOLOR);
    StretchBlt(item.hDC, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top, Picture2.dc(), 0, 0,
               ScreenWidth, ScreenHeight, SRCCOPY);
    ExcludeClipRect(item.hDC, shown.left, shown.top, shown.right, shown.bottom);
    FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

RECT Form7::PictureRect() const
{
    // At its designed size the display area shows the capture at the size it
    // was made, grown by the DPI's whole multiple, in its top left corner.
    // Larger, it shows it at the largest whole multiple that fits (the
    // window is never too small for the size selected), in its middle. It
    // is never cut off.
    RECT inner = {};
    GetClientRect(display_, &inner);
    const int fits = std::max(1, std::min<int>(inner.right / ScreenWidth, inner.bottom / ScreenHeight));
    const SIZE grown = Growth();
    if (grown.cx == 0 && grown.cy == 0) {
        const int block = std::min(fits, drawnFactor_ * std::max(1, dpi() / 96));
        return {0, 0, ScreenWidth * block, ScreenHeight * block};
    }
    const int left = (inner.right - ScreenWidth * fits) / 2, top = (inner.bottom - ScreenHeight * fits) / 2;
    return {left, top, left + ScreenWidth * fits, top + ScreenHeight * fits};
}

SIZE Form7::NeededGrowth(int size) const
{
    RECT inner = {};
    GetClientRect(display_, &inner);
    const SIZE grown = Growth();
    const int block = size * std::max(1, dpi() / 96);
    return {std::max(0L, ScreenWidth * block - (inner.right - grown.cx)),
            std::max(0L, ScreenHeight * block - (inner.bottom - grown.cy))};
}

int Form7::ScaleFactor() const
{
    for (int i = 0; i < 4; ++i)
        if (Checked(Option1[i])) return i + 1;
    return 1;
}

GreyFrame Form7::SavedPicture() const
{
    const int factor = ScaleFactor();
    return Enlarged(GreyFrameOf(Picture2, ScreenWidth, ScreenHeight), std::min(factor, drawnFactor_),
                    ScreenWidth * factor, ScreenHeight * factor);
}

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
    // The bands of rows in which something changed, each as wide as its
    // changes: a large picture is drawn where it changed alone.
    std::vector<RECT> changed;
    GdiFlush();
    for (int y = 0; y < ScreenHeight; ++y) {
        int left = ScreenWidth, right = 0;
        for (int x = 0; x < ScreenWidth; ++x)
            if (Picture2.SetPixel(x, y, GreyColour(screen[y * ScreenWidth + x]))) {
                left = std::min(left, x);
                right = x + 1;
            }
        if (right == 0) continue;
        if (!changed.empty() && changed.back().bottom == y)
            changed.back() = {std::min(changed.back().left, static_cast<LONG>(left)), changed.back().top,
                              std::max(changed.back().right, static_cast<LONG>(right)), y + 1};
        else
            changed.push_back({left, y, right, y + 1});
    }

    // The same size again draws the bands; another size, all of the display.
    const int factor = ScaleFactor();
    const RECT before = PictureRect();
    drawnFactor_ = factor;
    const RECT shown = PictureRect();
    if (!EqualRect(&before, &shown)) InvalidateRect(display_, nullptr, FALSE);
    UpdateWindow(display_);  // what waits to be painted, first
    if (EqualRect(&before, &shown) && !changed.empty()) {
        const HDC dc = GetDC(display_);
        const int block = (shown.right - shown.left) / ScreenWidth;
        SetStretchBltMode(dc, COLORONCOLOR);
        for (const RECT& band : changed)
            StretchBlt(dc, shown.left + band.left * block, shown.top + band.top * block, (band.right - band.left) * block,
                       (band.bottom - band.top) * block, Picture2.dc(), band.left, band.top, band.right - band.left,
                       band.bottom - band.top, SRCCOPY);
        ReleaseDC(display_, dc);
    }

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
        const GreyFrame picture = SavedPicture();
        const std::wstring path = SavePath(PictureTypes);
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
    const GreyFrame picture = SavedPicture();
    if (!PutOnClipboard(hwnd(), CF_DIB, DibBytes(Colours(picture).data(), picture.width, picture.height)))
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

void Form7::Option1_Click(int index)
{
    // The larger sizes grow the window as far as they need; the smaller ones
    // bring it back to its design. A size chosen by its key while the window
    // is minimised shows it again first: a minimised window has no client
    // area to measure what the size needs against.
    if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
    SetLeastGrowth(NeededGrowth(index + 1), index < 2 ? Fit::Exactly : Fit::Grow);
}

void Form7::Check2_Click()
{
    SetWindowPos(hwnd(), Checked(Check2) ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

std::wstring Form7::SavePath(const wchar_t* types)
{
    for (;;) {
        // The dialog has no owner, unless the window stays on top: one that
        // had none would open behind it.
        std::wstring path = pubForm::FileGet(types, L"SAVE", L"", Checked(Check2) ? hwnd() : nullptr,
                                             pubForm::TypedName::WithTypeExtension);
        // Only a file is replaced: a folder of that name is no file to ask
        // about, and the write that follows says it failed.
        const DWORD there = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
        if (there == INVALID_FILE_ATTRIBUTES || (there & FILE_ATTRIBUTE_DIRECTORY) ||
            MsgBox(hwnd(), path + L"\r\nは既にあります. 置き換えますか?", MB_ICONQUESTION | MB_YESNO) == IDYES)
            return path;
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
            const std::wstring path = SavePath(L"GIFファイル(*.gif)|*.gif");
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
