// The image build window: its boxes, the settings it loads and saves, and the build.
#include "Form6.h"

#include "ConsoleTool.h"
#include "Host.h"
#include "ImageBuild.h"
#include "Ini.h"
#include "ProjectFile.h"
#include "PubFnc.h"
#include "pubForm.h"

// In tab order, so the title box takes the focus when the window opens; the
// labels take no focus. Each path has its label, its box and its browse
// button. A label ends where its box begins: a static control paints its
// whole rectangle, and would cover the box's top edge. Esc leaves the window
// as its close box does: nothing is saved.
const Control Form6::Controls[] = {
    {L"Static", L"タイトル", LabelStyle, {120, 120, 975, 240}},
    {L"Edit", L"", TextBoxStyle, {240, 360, 3495, 270}, WS_EX_CLIENTEDGE, {}, {}, Held<&Form6::Text1>},
    {L"Static", L"入力ファイル名(*.srf)", LabelStyle, {120, 720, 1935, 240}},
    {L"Edit", L"", TextBoxStyle, {240, 960, 3495, 270}, WS_EX_CLIENTEDGE, {}, {}, Held<&Form6::Text2, 0>},
    {L"Button", L"...", ButtonStyle, {3840, 960, 255, 255}, 0, {&Form6::Command1_Click, 0}},
    {L"Button", L"↓", ButtonStyle, {3000, 1250, 375, 300}, 0, &Form6::Command5_Click},
    {L"Static", L"出力ファイル名(*.pex)", LabelStyle, {120, 1320, 1935, 240}},
    {L"Edit", L"", TextBoxStyle, {240, 1560, 3495, 270}, WS_EX_CLIENTEDGE, {}, {}, Held<&Form6::Text2, 1>},
    {L"Button", L"...", ButtonStyle, {3840, 1560, 255, 255}, 0, {&Form6::Command1_Click, 1}},
    // Out to the right edge of the box below, so the longest label stays on one line.
    {L"Static", L"アイコンファイル名(*.pid)", LabelStyle, {120, 1920, 3615, 240}},
    {L"Edit", L"", TextBoxStyle, {240, 2160, 3495, 270}, WS_EX_CLIENTEDGE, {}, {}, Held<&Form6::Text2, 2>},
    {L"Button", L"...", ButtonStyle, {3840, 2160, 255, 255}, 0, {&Form6::Command1_Click, 2}},
    {L"Button", L"作成", ButtonStyle, {120, 2640, 1095, 375}, 0, &Form6::Command4_Click},
    {L"Button", L"設定保存", ButtonStyle, {1560, 2640, 1095, 375}, 0, &Form6::Command3_Click},
    {L"Button", L"キャンセル", ButtonStyle, {3000, 2640, 1095, 375}, 0, &Form6::Command2_Click, Esc},
};

namespace {
const wchar_t* const BrowseFilter[3] = {
    L"入力ファイル(*.SRF)|*.SRF",
    L"出力ファイル(*.PEX)|*.PEX",
    L"アイコンファイル(*.PID)|*.PID",
};
}

Form6::Form6() : Window(L"Form6", L"実行イメージ作成", 4230, 3150) {}

void Form6::Show(HWND owner) { ShowCenteredModal(owner); }

void Form6::Form_Load()
{
    AddControls(Controls);

    const ImageSettings settings = LoadImageSettings(ProjectFilePath, ProjectDir);
    Text1.SetText(settings.title);
    Text2[0].SetText(settings.input);
    Text2[1].SetText(settings.output);
    Text2[2].SetText(settings.icon);
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
