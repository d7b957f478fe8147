// VTP2SDS: converts an older project file into the host IDE's project file.
#include <windows.h>
#include <commctrl.h>

#include "Form1.h"
#include "MsgBox.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    SetAppTitle(L"VTP2SDSコンバートツール");
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    Form1 form;
    if (!form.Load()) return 1;
    form.ShowModal(nullptr);  // until the window is closed
    return 0;
}
