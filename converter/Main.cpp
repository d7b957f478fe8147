// VTP2SDS: turns a Vortalis project file (.vtp) into the host's project file
// (.sds) beside it. One window; the program ends when it is closed.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>

#include "Form1.h"
#include "MsgBox.h"
#include "SearchOrder.h"

namespace {
// The first argument: Explorer names a file dropped on the program's icon so.
std::wstring CommandLineFile()
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return {};
    std::wstring first = count > 1 ? arguments[1] : L"";
    LocalFree(arguments);
    return first;
}
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    LeaveCurrentFolderOutOfSearch();
    SetAppTitle(L"VTP2SDSコンバートツール");
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // Dropped files arrive by OLE drag and drop, which wants this thread's apartment.
    if (FAILED(OleInitialize(nullptr))) return 1;
    Form1().Show(CommandLineFile());
    OleUninitialize();
    return 0;
}
