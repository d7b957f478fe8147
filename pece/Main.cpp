// pece: the console program that gives scripts and Makefiles the device
// tool's and the converter's jobs, one command each.
#include <windows.h>

#include <string>
#include <vector>

#include "Commands.h"
#include "Console.h"
#include "MsgBox.h"
#include "SearchOrder.h"

int wmain(int argc, wchar_t* argv[])
{
    LeaveCurrentFolderOutOfSearch();
    // No one may be there to answer a box: the support library's boxes (a
    // refused write of a project file) become messages.
    SetAppTitle(L"pece");
    ShowBoxesAsText([](const std::wstring& text) { WriteLine(Stream::Err, text); });
    return RunCommand(ParseArguments(std::vector<std::wstring>(argv + 1, argv + argc)));
}
