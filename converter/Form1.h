#pragma once
// The converter's one window: a path box and the convert button. A file
// dropped anywhere on the window names the file to convert.
#include "Window.h"

#include <shellapi.h>

#include <string>

class Form1 : public Window {
public:
    // Creates the window; false when it cannot run here (the path library is
    // missing, which the user has been told) or could not be made.
    bool Load();
    void Open_Project3();

    enum { IdText1 = 101, IdCommand1 = 102 };

protected:
    void Form_Load() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Form_OLEDragDrop(HDROP drop);
    void Command1_Click();

    HWND text1_ = nullptr;
    HWND command1_ = nullptr;
    bool usable_ = false;
    std::wstring VtpPath;
    std::wstring VtpDir;
};
