#pragma once
// The menu window: the verbs' jobs, one button each, to be run one after the
// other in one run of the device tool.
#include "Window.h"

struct DeviceResult;

class Form2 : public Window {
public:
    Form2();
    void Show(HWND owner);

protected:
    void Form_Load() override;

private:
    static const Control Controls[];

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    // A device verb's job; one that could not reach the device says so over
    // the menu too.
    void DeviceJob(DeviceResult (*job)());
};
