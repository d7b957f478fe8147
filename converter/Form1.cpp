#include "Form1.h"

#include "Conversion.h"
#include "Ini.h"
#include "MsgBox.h"
#include "ProjectFile.h"
#include "PubFnc.h"
#include "Search.h"

#include <algorithm>

// In tab order.
const Control Form1::Controls[] = {
    {L"Edit", L"", TextBoxStyle, {120, 120, 4455, 270}, WS_EX_CLIENTEDGE, {}, {}, Held<&Form1::Text1>},
    {L"Button", L"変換", ButtonStyle, {3480, 480, 1095, 375}, 0, &Form1::Command1_Click},
};

// The caption is set as the window loads.
Form1::Form1()
    : Window(L"VTP2SDS.Form1", L"", 4680, 975),
      formDrop_([this](const std::wstring& file) { Form_OLEDragDrop(file); }),
      text1Drop_([this](const std::wstring& file) { Text1_OLEDragDrop(file); })
{
}

void Form1::Show(const std::wstring& commandLineFile)
{
    if (!Load(nullptr)) return;
    CenterOnScreen();
    if (!commandLineFile.empty()) Form_OLEDragDrop(commandLineFile);
    ShowModal(nullptr);
}

void Form1::Form_Load()
{
    SetVersionCaption(hwnd());
    // The relative paths of the conversion come from this library, bound only
    // at their first use: without it the program must not start.
    if (SearchFile(L"shlwapi.dll").empty()) {
        MsgBox(hwnd(), L"SHLWAPI.DLLが見つかりません、この環境では利用出来ません", MB_ICONEXCLAMATION | MB_OK);
        Unload();
        return;
    }
    AddControls(Controls);
    // The box has a target of its own, so it never inserts dropped data itself.
    formDrop_.Register(hwnd());
    text1Drop_.Register(Text1.hwnd());
}

void Form1::Form_Unload()
{
    formDrop_.Revoke();
    text1Drop_.Revoke();
}

void Form1::Form_OLEDragDrop(const std::wstring& firstFile) { Text1.SetText(firstFile); }

void Form1::Text1_OLEDragDrop(const std::wstring& firstFile) { Text1.SetText(firstFile); }

void Form1::Command1_Click()
{
    // The platform takes a slash for a backslash; the folders cut from the
    // path below must see the same separators it does.
    std::wstring text = Text1.Text();
    std::replace(text.begin(), text.end(), L'/', L'\\');
    if (text.empty()) {
        MsgBox(hwnd(), L"変換するファイルを指定して下さい", MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    VtpPath = text;
    if (ReadIniValue(Vtp::Main, Vtp::ProjectName, L"", VtpPath).empty()) {
        MsgBox(hwnd(), L"Vortalisのプロジェクトファイルではありません", MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    if (!(ReadNumber(ReadIniValue(Vtp::Main, Vtp::Version, Vtp::VersionDefault, VtpPath)) <
          Vtp::FirstUnconvertedVersion)) {
        MsgBox(hwnd(), L"0.35以降のVTPファイルなので変換しませんでした", MB_ICONINFORMATION | MB_OK);
        return;
    }
    // A host project file chosen as input would be read and written at once.
    if (OutputIsInput(VtpPath)) {
        MsgBox(hwnd(), L"変換先のファイルが変換元と同じファイルなので変換しませんでした",
               MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    if (MsgBox(hwnd(), L"変換を開始します", MB_ICONQUESTION | MB_OKCANCEL) != IDOK) return;
    VtpDir = SplitPath(VtpPath)[0];
    if (Open_Project3()) MsgBox(hwnd(), L"変換が完了しました", MB_ICONINFORMATION | MB_OK);
}

bool Form1::Open_Project3()
{
    const ConversionResult result = ConvertProject(VtpPath, VtpDir, hwnd());
    switch (result.stop) {
    case ConversionStop::None:
        return true;
    case ConversionStop::WriteRefused:
        MsgBox(hwnd(), L"書き込みに失敗したので変換を中止しました", MB_ICONEXCLAMATION | MB_OK);
        return false;
    case ConversionStop::CountOutOfRange:
        MsgBox(hwnd(), L"[" + result.section +
                   L"] の N が -32768 から 32767 の範囲にないので変換を中止しました",
               MB_ICONEXCLAMATION | MB_OK);
        return false;
    }
    return false;
}
