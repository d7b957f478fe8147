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
// An array's index i has its first id + i.
enum ControlId {
    Text1Id = 100,  // the title
    Text2Id0,       // the input program path
    Text2Id1,       // the output image path
    Text2Id2,       // the icon path
    Command1Id0,    // "..." browse for the input
    Command1Id1,    // "..." browse for the output
    Command1Id2,    // "..." browse for the icon
    Command2Id,     // "キャンセル"
    Command3Id,     // "設定保存"
    Command4Id,     // "作成"
    Command5Id,     // "↓" the output from the input
    Label2Id0,      // "入力ファイル名(*.srf)"
    Label2Id1,      // "出力ファイル名(*.pex)"
    Label2Id2,      // "タイトル"
    Label2Id3,      // "アイコンファイル名(*.pid)"
};

constexpr DWORD LabelStyle = SS_LEFT;
constexpr DWORD TextBoxStyle = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD ButtonStyle = WS_TABSTOP | BS_PUSHBUTTON;

// In tab order, so the title box takes the focus when the window opens; the
// labels take no focus. Each path has its label, its box and its browse button.
// A label ends where its box begins: a static control paints its whole
// rectangle, and would cover the box's top edge.
const Control Controls[] = {
    {Label2Id2, L"Static", L"タイトル", LabelStyle, {120, 120, 975, 240}, 0},
    {Text1Id, L"Edit", L"", TextBoxStyle, {240, 360, 3495, 270}, WS_EX_CLIENTEDGE},
    {Label2Id0, L"Static", L"入力ファイル名(*.srf)", LabelStyle, {120, 720, 1935, 240}, 0},
    {Text2Id0, L"Edit", L"", TextBoxStyle, {240, 960, 3495, 270}, WS_EX_CLIENTEDGE},
    {Command1Id0, L"Button", L"...", ButtonStyle, {3840, 960, 255, 255}, 0},
    {Command5Id, L"Button", L"↓", ButtonStyle, {3000, 1250, 375, 300}, 0},
    {Label2Id1, L"Static", L"出力ファイル名(*.pex)", LabelStyle, {120, 1320, 1935, 240}, 0},
    {Text2Id1, L"Edit", L"", TextBoxStyle, {240, 1560, 3495, 270}, WS_EX_CLIENTEDGE},
    {Command1Id1, L"Button", L"...", ButtonStyle, {3840, 1560, 255, 255}, 0},
    // Out to the right edge of the box below, so the longest label stays on one line.
    {Label2Id3, L"Static", L"アイコンファイル名(*.pid)", LabelStyle, {120, 1920, 3615, 240}, 0},
    {Text2Id2, L"Edit", L"", TextBoxStyle, {240, 2160, 3495, 270}, WS_EX_CLIENTEDGE},
    {Command1Id2, L"Button", L"...", ButtonStyle, {3840, 2160, 255, 255}, 0},
    {Command4Id, L"Button", L"作成", ButtonStyle, {120, 2640, 1095, 375}, 0},
    {Command3Id, L"Button", L"設定保存", ButtonStyle, {1560, 2640, 1095, 375}, 0},
    {Command2Id, L"Button", L"キャンセル", ButtonStyle, {3000, 2640, 1095, 375}, 0},
};

const wchar_t* const BrowseFilter[3] = {
    L"入力ファイル(*.SRF)|*.SRF",
    L"出力ファイル(*.PEX)|*.PEX",
    L"アイコンファイル(*.PID)|*.PID",
};
}

std::wstring PackerCommandLine(const std::wstring& title, const std::wstring& input,
                               const std::wstring& output, const std::wstring& icon)
{
    std::wstring line = L"PPACK.EXE -e " + CommandLineArgument(input) + L" -o" +
                        CommandLineArgument(output) + L" -n" + CommandLineArgument(title);
    if (!icon.empty()) line += L" -i" + CommandLineArgument(icon);
    return line;
}

Form6::Form6() : Window(L"Form6", L"実行イメージ作成", 4230, 3150) {}

void Form6::Show(HWND owner) { ShowCenteredModal(owner); }

void Form6::Form_Load()
{
    AddControls(Controls);
    Text1 = TextBox(GetDlgItem(hwnd(), Text1Id));
    for (int i = 0; i < 3; ++i) Text2[i] = TextBox(GetDlgItem(hwnd(), Text2Id0 + i));

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
    case Command1Id0: Command1_Click(0); return true;
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
