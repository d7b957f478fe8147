// The image build window: its boxes, the settings it loads and saves, and the build.
#include "Form6.h"

#include "ConsoleTool.h"
#include "Host.h"
#include "Ini.h"
#include "PathConv.h"
#include "ProjectFile.h"
#include "PubFnc.h"
#include "pubForm.h"

namespace {
enum ControlId {
    Text1Id = 100,
    Text2Id,  // the box array: index i has the id Text2Id + i
    Text2Id1,
    Text2Id2,
    Command1Id,  // the button array: index i has the id Command1Id + i
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

void Form6::Show(HWND owner) { ShowCenteredModal(L"Form6", L"実行イメージ作成", 4230, 3150, owner); }

void Form6::Form_Load()
{
    // Created in tab order, so the title box takes the focus when the window
    // opens; the labels take no focus.
    AddControl(L"Static", L"タイトル", SS_LEFT, Label2Id, 120, 120, 975, 375);
    Text1 = TextBox(
        AddControl(L"Edit", L"", TextBoxStyle, Text1Id, 240, 360, 3495, 270, WS_EX_CLIENTEDGE));
    // One path of the array: its label, its box and its browse button.
    const auto addPath = [this](int index, const wchar_t* label, int top) {
        AddControl(L"Static", label, SS_LEFT, Label2Id, 120, top, 1935, 375);
        Text2[index] = TextBox(AddControl(L"Edit", L"", TextBoxStyle, Text2Id + index, 240, top + 240,
                                          3495, 270, WS_EX_CLIENTEDGE));
        AddControl(L"Button", L"...", ButtonStyle, Command1Id + index, 3840, top + 240, 255, 255);
    };
    addPath(0, L"入力ファイル名(*.srf)", 720);
    AddControl(L"Button", L"↓", ButtonStyle, Command5Id, 3000, 1250, 375, 300);
    addPath(1, L"出力ファイル名(*.pex)", 1320);
    addPath(2, L"アイコンファイル名(*.pid)", 1920);
    AddControl(L"Button", L"作成", ButtonStyle, Command4Id, 120, 2640, 1095, 375);
    AddControl(L"Button", L"設定保存", ButtonStyle, Command3Id, 1560, 2640, 1095, 375);
    AddControl(L"Button", L"キャンセル", ButtonStyle, Command2Id, 3000, 2640, 1095, 375);

    const std::wstring projectName = ReadIniValue(Sds::Main, Sds::ProjectName, L"", ProjectFilePath);
    Text1.SetText(ReadIniValue(Sds::Pex, Sds::Title, projectName, ProjectFilePath));

    std::wstring input = ReadIniValue(Sds::Pex, Sds::Input, L"", ProjectFilePath);
    if (input.empty())
        input = StripExtension(ReadIniValue(Sds::Source, Sds::FirstSource, L"", ProjectFilePath)) + L".srf";
    Text2[0].SetText(ResolveStoredPath(input, ProjectDir));

    const std::wstring output = ReadIniValue(Sds::Pex, Sds::Output, L"", ProjectFilePath);
    Text2[1].SetText(output.empty() ? CanonicalPath(StripExtension(Text2[0].Text()) + L".pex")
                                    : ResolveStoredPath(output, ProjectDir));

    const std::wstring icon = ReadIniValue(Sds::Pex, Sds::Icon, L"", ProjectFilePath);
    Text2[2].SetText(icon.empty() ? std::wstring() : ResolveStoredPath(icon, ProjectDir));
}

bool Form6::OnCommand(int id, int code)
{
    if (code != BN_CLICKED) return false;
    switch (id) {
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
    const auto write = [this](const wchar_t* key, const std::wstring& value) {
        WriteIniValue(Sds::Pex, key, value, ProjectFilePath, hwnd());
    };
    write(Sds::Title, Text1.Text());
    write(Sds::Input, MakeStoredPath(Text2[0].Text(), ProjectDir));
    write(Sds::Output, MakeStoredPath(Text2[1].Text(), ProjectDir));
    write(Sds::Icon, MakeStoredPath(Text2[2].Text(), ProjectDir));
}

// The browse dialog and the warning boxes are owned by the window, which takes
// no input while they are open.
void Form6::Command1_Click(int index)
{
    const std::wstring path =
        pubForm::FileGet(BrowseFilter[index], L"OPEN", Text2[index].Text(), hwnd());
    if (!path.empty()) Text2[index].SetText(path);
}

void Form6::Command2_Click() { Unload(); }

void Form6::Command3_Click()
{
    Save_Pex();
    Unload();
}

void Form6::Command4_Click()
{
    // Every line to the host waits in a DDE transaction, which dispatches
    // messages: a second click could start a second build inside this one, a
    // close could unload the window under it. As a job it runs to its end first.
    const bool built = RunJob([this] {
        Save_Pex();
        const std::wstring commandLine =
            PackerCommandLine(Text1.Text(), Text2[0].Text(), Text2[1].Text(), Text2[2].Text());
        HostMessage(L"実行イメージ作成中...\r\n");
        const ConsoleToolResult run = RunConsoleTool(L"", commandLine);
        HostMessage(run.Succeeded() ? L"実行イメージ作成完了.\r\n"
                                    : L"実行イメージ作成失敗.\r\n");
    });
    if (built) Unload();
}

void Form6::Command5_Click() { Text2[1].SetText(StripExtension(Text2[0].Text()) + L".pex"); }
