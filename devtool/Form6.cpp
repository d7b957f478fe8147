#include "Form6.h"

#include "ConsoleTool.h"
#include "Form1.h"
#include "HostLink.h"
#include "Ini.h"
#include "PathConv.h"
#include "ProjectFile.h"
#include "PubFnc.h"
#include "pubForm.h"

namespace {
enum ControlId {
    Text1Id = 100,
    Text2Id,  // indexes 0 to 2 follow one another
    Text2Id1,
    Text2Id2,
    Command1Id,  // indexes 0 to 2 follow one another
    Command1Id1,
    Command1Id2,
    Command2Id,
    Command3Id,
    Command4Id,
    Command5Id,
    Label2Id,
};

const wchar_t* const BrowseFilter[3] = {
    L"入力ファイル(*.SRF)|*.SRF",
    L"出力ファイル(*.PEX)|*.PEX",
    L"アイコンファイル(*.PID)|*.PID",
};

constexpr DWORD TextBoxStyle = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD ButtonStyle = WS_TABSTOP | BS_PUSHBUTTON;
}

std::wstring PackerCommandLine(const std::wstring& title, const std::wstring& input,
                               const std::wstring& output, const std::wstring& icon)
{
    std::wstring line = L"PPACK.EXE -e " + CommandLineArgument(input) + L" -o" +
                        CommandLineArgument(output) + L" -n" + CommandLineArgument(title);
    if (!icon.empty()) line += L" -i" + CommandLineArgument(icon);
    return line;
}

void Form6::Show(HWND owner)
{
    if (!Load(L"Form6", L"実行イメージ作成", 4230, 3150, owner)) return;
    CenterOnScreen();
    ShowModal(owner);
}

void Form6::Form_Load()
{
    // Created in tab order; the labels take no focus.
    AddControl(L"Static", L"タイトル", SS_LEFT, Label2Id, 120, 120, 975, 375);
    text1_ = AddControl(L"Edit", L"", TextBoxStyle, Text1Id, 240, 360, 3495, 270, WS_EX_CLIENTEDGE);
    AddControl(L"Static", L"入力ファイル名(*.srf)", SS_LEFT, Label2Id, 120, 720, 1935, 375);
    text2_[0] = AddControl(L"Edit", L"", TextBoxStyle, Text2Id, 240, 960, 3495, 270, WS_EX_CLIENTEDGE);
    AddControl(L"Button", L"...", ButtonStyle, Command1Id, 3840, 960, 255, 255);
    AddControl(L"Button", L"↓", ButtonStyle, Command5Id, 3000, 1250, 375, 300);
    AddControl(L"Static", L"出力ファイル名(*.pex)", SS_LEFT, Label2Id, 120, 1320, 1935, 375);
    text2_[1] = AddControl(L"Edit", L"", TextBoxStyle, Text2Id1, 240, 1560, 3495, 270, WS_EX_CLIENTEDGE);
    AddControl(L"Button", L"...", ButtonStyle, Command1Id1, 3840, 1560, 255, 255);
    AddControl(L"Static", L"アイコンファイル名(*.pid)", SS_LEFT, Label2Id, 120, 1920, 1935, 375);
    text2_[2] = AddControl(L"Edit", L"", TextBoxStyle, Text2Id2, 240, 2160, 3495, 270, WS_EX_CLIENTEDGE);
    AddControl(L"Button", L"...", ButtonStyle, Command1Id2, 3840, 2160, 255, 255);
    AddControl(L"Button", L"作成", ButtonStyle, Command4Id, 120, 2640, 1095, 375);
    AddControl(L"Button", L"設定保存", ButtonStyle, Command3Id, 1560, 2640, 1095, 375);
    AddControl(L"Button", L"キャンセル", ButtonStyle, Command2Id, 3000, 2640, 1095, 375);

    const std::wstring projectName = ReadIniValue(Sds::Main, Sds::ProjectName, L"", ProjectFilePath);
    SetWindowTextW(text1_, ReadIniValue(Sds::Pex, Sds::Title, projectName, ProjectFilePath).c_str());

    std::wstring input = ReadIniValue(Sds::Pex, Sds::Input, L"", ProjectFilePath);
    if (input.empty())
        input = StripExtension(ReadIniValue(Sds::Source, Sds::FirstSource, L"", ProjectFilePath)) + L".srf";
    SetText2(0, ResolveStoredPath(input, ProjectDir));

    const std::wstring output = ReadIniValue(Sds::Pex, Sds::Output, L"", ProjectFilePath);
    SetText2(1, output.empty() ? CanonicalPath(StripExtension(Text2(0)) + L".pex")
                               : ResolveStoredPath(output, ProjectDir));

    const std::wstring icon = ReadIniValue(Sds::Pex, Sds::Icon, L"", ProjectFilePath);
    SetText2(2, icon.empty() ? std::wstring() : ResolveStoredPath(icon, ProjectDir));
}

bool Form6::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&)
{
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    switch (LOWORD(wParam)) {
    case Command1Id: Command1_Click(0); return true;
    case Command1Id1: Command1_Click(1); return true;
    case Command1Id2: Command1_Click(2); return true;
    // Esc leaves the window as its close box does: nothing is saved.
    case Command2Id:
    case IDCANCEL: Command2_Click(); return true;
    case Command3Id: Command3_Click(); return true;
    case Command4Id: Command4_Click(); return true;
    case Command5Id: Command5_Click(); return true;
    }
    return false;
}

void Form6::Save_Pex()
{
    // Each write that fails shows its own warning; the next key is still written.
    WriteIniValue(Sds::Pex, Sds::Title, Text1(), ProjectFilePath, hwnd());
    WriteIniValue(Sds::Pex, Sds::Input, MakeStoredPath(Text2(0), ProjectDir), ProjectFilePath, hwnd());
    WriteIniValue(Sds::Pex, Sds::Output, MakeStoredPath(Text2(1), ProjectDir), ProjectFilePath, hwnd());
    WriteIniValue(Sds::Pex, Sds::Icon, MakeStoredPath(Text2(2), ProjectDir), ProjectFilePath, hwnd());
}

void Form6::Command1_Click(int index)
{
    const std::wstring path = pubForm::FileGet(BrowseFilter[index], L"OPEN", Text2(index), hwnd());
    if (!path.empty()) SetText2(index, path);
}

void Form6::Command2_Click() { Unload(); }

void Form6::Command3_Click()
{
    Save_Pex();
    Unload();
}

void Form6::Command4_Click()
{
    Save_Pex();
    const std::wstring commandLine = PackerCommandLine(Text1(), Text2(0), Text2(1), Text2(2));
    HostMessage(L"実行イメージ作成中...\r\n");
    const ConsoleToolResult run = RunConsoleTool(L"", commandLine);
    HostMessage(run.Succeeded() ? L"実行イメージ作成完了.\r\n" : L"実行イメージ作成失敗.\r\n");
    Unload();
}

void Form6::Command5_Click() { SetText2(1, StripExtension(Text2(0)) + L".pex"); }

std::wstring Form6::Text1() const { return WindowText(text1_); }

std::wstring Form6::Text2(int index) const { return WindowText(text2_[index]); }

void Form6::SetText2(int index, const std::wstring& text) { SetWindowTextW(text2_[index], text.c_str()); }
