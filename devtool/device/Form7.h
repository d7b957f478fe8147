#pragma once
// The capture window: copies the device's screen, shows it at its own size or
// doubled, again and again while the live view runs, saves it as a bitmap,
// PNG or GIF file, puts it on the clipboard, and records what it shows to an
// animated GIF. It sends nothing to the host.
#include "LiveCapture.h"
#include "Picture.h"
#include "Recording.h"
#include "Window.h"

#include <climits>
#include <memory>

class Form7 : public Window {
public:
    Form7();
    // A window whose pictures could not be made does not open: a box over
    // `owner` says so.
    void Show(HWND owner);
    // One capture of the device's screen into the capture surface, copied to
    // the display area at the selected size.
    void Cap();

protected:
    void Form_Load() override;
    void Form_QueryUnload() override;
    void Form_Unload() override;
    void OnAppMessage(UINT message) override;

private:
    static const Control Controls[];

    void Picture1_Paint(const DRAWITEMSTRUCT& item);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Check1_Click();
    void Command4_Click();
    void Command5_Click();
    int ScaleFactor() const;
    // What 保存 and コピー take: the display area at 2x, else the capture surface.
    const PictureImage& SavedPicture() const;
    // Shows a capture as Cap does, and records it while a recording runs;
    // `ms` is when it was captured.
    void Draw(const ScreenBuffer& screen, long long ms);
    void StopLive();
    // The button reads 録画 again; the recording, no longer fed, is the caller's.
    std::unique_ptr<Recording> EndRecording();
    // Ends the recording at `endMs` and asks where to save it until it is
    // saved or the user throws it away.
    void SaveRecording(std::unique_ptr<Recording> recording, long long endMs);

    // What the display area shows, and the capture surface, which stays off
    // screen: the user sees its copy in Picture1.
    PictureImage Picture1;
    PictureImage Picture2;
    HWND display_ = nullptr;  // Picture1's window, the display area
    HWND Option1[2] = {};
    HWND Check1 = nullptr;
    HWND Command5 = nullptr;
    LiveCapture live_;
    std::unique_ptr<Recording> recording_;  // while 録画 reads 停止
    int recordingFactor_ = 1;               // the size when the recording started
    long long recordingFromMs_ = 0;         // and the time
    long long drawnMs_ = LLONG_MIN;         // the time of the screen shown
};
