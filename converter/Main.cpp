// VTP2SDS: turns a Vortalis project file (.vtp) into the host's project file
// (.sds) beside it. One window; the program ends when it is closed.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "Form1.h"
#include "MsgBox.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    SetAppTitle(L"VTP2SDSコンバートツール");
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // Dropped files arrive by OLE drag and drop, which wants this thread's apartment.
    if (FAILED(OleInitialize(nullptr))) return 1;
    Form1().Show();
    OleUninitialize();
    return 0;
}
