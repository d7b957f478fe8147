#pragma once
// The capture window: copies the device's screen, shows it at one to four
// times its size, again and again while the live view runs, saves it as a
// bitmap, PNG or GIF file, puts it on the clipboard, and records what it shows
// to an animated GIF. It grows with the larger sizes and with the user, and
// may stay above other windows. It sends nothing to the host.
#include "LiveCapture.h"
#include "Picture.h"
#include "Recording.h"
#include "Window.h"

#include <climits>
#include <memory>
#include <string>

class Form7 : public Window {
public:
    Form7();
    // A window whose pictures could not be made does not open: a box over
    // `owner` says so.
    void Show(HWND owner);
    // One capture of the device's screen into the capture surface, shown in
    // the display area at the selected size.
    void Cap();

protected:
    void Form_Load() override;
    void Form_QueryUnload() override;
    void Form_Unload() override;
    void OnAppMessage(UINT message) override;
    void OnDpiChanged() override;

private:
    static const Control Controls[];

    void Picture1_Paint(const DRAWITEMSTRUCT& item);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Check1_Click();
    void Command4_Click();
    void Command5_Click();
    void Option1_Click(int index);
    void Check2_Click();
    // The selected size: 1 to 4.
    int ScaleFactor() const;
    // What 保存 and コピー take: the screen at the selected size, or a capture
    // made at a smaller size in its top left corner, white beyond.
    GreyFrame SavedPicture() const;
    // Where the display area shows the picture, in its own pixels.
    RECT PictureRect() const;
    // How much the window must grow beyond its design to show the picture
    // whole at `size` at its DPI.
    SIZE NeededGrowth(int size) const;
    // The save dialog's answer once the user wants a file of that name
    // written, asking first whether to replace one that is there; the empty
    // text when the user cancels.
    std::wstring SavePath(const wchar_t* types);
    // Shows a capture as Cap does, and records it while a recording runs;
    // `ms` is when it was captured.
    void Draw(const ScreenBuffer& screen, long long ms);
    void StopLive();
    // The button reads 録画 again; the recording, no longer fed, is the caller's.
    std::unique_ptr<Recording> EndRecording();
    // Ends the recording at `endMs` and asks where to save it until it is
    // saved or the user throws it away.
    void SaveRecording(std::unique_ptr<Recording> recording, long long endMs);

    // The capture surface, which stays off screen: the user sees it enlarged
    // in Picture1, the display area.
    PictureImage Picture2;
    HWND display_ = nullptr;  // Picture1's window
    HWND Option1[4] = {};
    HWND Check1 = nullptr;
    HWND Command5 = nullptr;
    HWND Check2 = nullptr;
    LiveCapture live_;
    std::unique_ptr<Recording> recording_;  // while 録画 reads 停止
    int recordingFactor_ = 1;               // the size when the recording started
    long long recordingFromMs_ = 0;         // and the time
    int drawnFactor_ = 1;                   // the size when the screen shown was captured
    long long drawnMs_ = LLONG_MIN;         // and the time
};
