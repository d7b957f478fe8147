// VORTALIS0: started by the host IDE with one verb, it does that one job for
// the host's current project and reports to the host.
#include <windows.h>
#include <commctrl.h>

#include "DeviceCommands.h"
#include "Form1.h"
#include "Form2.h"
#include "Form6.h"
#include "Form7.h"
#include "MsgBox.h"
#include "SearchOrder.h"
#include "Search.h"
#include "Verbs.h"

namespace {
void RunVerb(Verb verb)
{
    switch (verb) {
    case Verb::CreatePex: Form6().Show(nullptr); break;
    case Verb::FileTrans: TransferFile(); break;
    case Verb::Info: ShowDeviceInfo(); break;
    case Verb::Capture: Form7().Show(nullptr); break;
    case Verb::Run: RunOnDevice(); break;
    case Verb::Menu: Form2().Show(nullptr); break;
    }
}
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    LeaveCurrentFolderOutOfSearch();
    SetAppTitle(L"VORTALIS0");
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The image settings' relative and canonical paths come from this library,
    // bound only at their first use: without it the tool must not start.
    if (SearchFile(L"shlwapi.dll").empty()) {
        MsgBox(nullptr, L"SHLWAPI.DLLが見つかりません、この環境では利用出来ません",
               MB_ICONEXCLAMATION | MB_OK);
        return 0;
    }

    Form1& link = Form1::Instance();
    link.Form_Load();
    if (ProjectFilePath.empty())
        MsgBox(nullptr, L"このソフトはQuandrixからでしか起動出来ません", MB_ICONERROR | MB_OK);
    else
        RunVerb(MatchVerb(ArgumentText(GetCommandLineW())));
    link.Unload();
    return 0;
}
