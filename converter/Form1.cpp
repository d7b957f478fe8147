#include "Form1.h"

#include "Conversion.h"
#include "MsgBox.h"
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
    const VtpCheck check = CheckVtpFile(text);
    if (check != VtpCheck::NoPath) VtpPath = text;
    if (check != VtpCheck::Ready) {
        const UINT icon = check == VtpCheck::TooNew ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
        MsgBox(hwnd(), VtpCheckText(check), icon | MB_OK);
        return;
    }
    if (MsgBox(hwnd(), L"変換を開始します", MB_ICONQUESTION | MB_OKCANCEL) != IDOK) return;
    VtpDir = SplitPath(VtpPath)[0];
    if (Open_Project3()) MsgBox(hwnd(), ConversionEndText({}), MB_ICONINFORMATION | MB_OK);
}

bool Form1::Open_Project3()
{
    const ConversionResult result = ConvertProject(VtpPath, VtpDir, hwnd());
    if (result.stop == ConversionStop::None) return true;
    MsgBox(hwnd(), ConversionEndText(result), MB_ICONEXCLAMATION | MB_OK);
    return false;
}
