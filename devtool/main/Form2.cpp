// The menu window's buttons and the jobs they start.
#include "Form2.h"

#include "DeviceCommands.h"
#include "Form6.h"
#include "Form7.h"
#include "MsgBox.h"
#include "PubFnc.h"

// In tab order. Esc closes the menu as its close box does.
const Control Form2::Controls[] = {
    {L"Button", L"Information", ButtonStyle, {120, 120, 1815, 375}, 0, &Form2::Command1_Click},
    {L"Button", L"ファイル転送", ButtonStyle, {120, 600, 1815, 375}, 0, &Form2::Command2_Click},
    {L"Button", L"キャプチャ", ButtonStyle, {2040, 120, 1815, 375}, 0, &Form2::Command3_Click},
    {L"Button", L"実行イメージ作成", ButtonStyle, {2040, 600, 1815, 375}, 0, &Form2::Command4_Click},
    {L"Button", L"閉じる", ButtonStyle, {2400, 1200, 1455, 375}, 0, &Form2::Command5_Click, Esc},
    {L"Button", L"P/ECEで実行", ButtonStyle, {120, 1080, 1815, 375}, 0, &Form2::Command6_Click},
};

// The caption is replaced as the window loads.
Form2::Form2() : Window(L"Form2", L"Form2", 3990, 1695) {}

void Form2::Show(HWND owner) { ShowCenteredModal(owner); }

void Form2::Form_Load()
{
    AddControls(Controls);
    SetVersionCaption(hwnd());
}

// Each job runs to its end before the menu takes the next click. The windows
// are modal over the menu; the device jobs have no window over it (the file
// dialog of a transfer has no owner) and wait for the host while they report,
// so the menu takes no input while they run.
void Form2::Command1_Click() { DeviceJob(ShowDeviceInfo); }

void Form2::Command2_Click() { DeviceJob(TransferFile); }

void Form2::Command3_Click() { Form7().Show(hwnd()); }

void Form2::Command4_Click() { Form6().Show(hwnd()); }

void Form2::Command5_Click() { Unload(); }

void Form2::Command6_Click() { DeviceJob(RunOnDevice); }

// The host shows the verb's lines; a device that does not answer, or a
// library that is missing, is told where the user waited for it as well.
void Form2::DeviceJob(DeviceResult (*job)())
{
    RunJob([&] {
        if (const DeviceResult result = job(); !result) MsgBox(hwnd(), NoCallText(result), MB_ICONEXCLAMATION | MB_OK);
    });
}
