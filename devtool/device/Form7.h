#pragma once
// The capture window: copies the device's screen, shows it at its own size or
// doubled, and saves it as a bitmap file. It sends nothing to the host.
#include "Picture.h"
#include "Window.h"

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
    bool OnCommand(int id, int code) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

private:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    int ScaleFactor() const;

    // What the display area shows, and the capture surface, which stays off
    // screen: the user sees its copy in Picture1.
    PictureImage Picture1;
    PictureImage Picture2;
};
