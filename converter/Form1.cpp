#include "Form1.h"

#include "Conversion.h"
#include "Ini.h"
#include "MsgBox.h"
#include "ProjectFile.h"
#include "PubFnc.h"
#include "Search.h"

#include <vector>

bool Form1::Load()
{
    if (!Window::Load(L"VTP2SDSForm1", L"Form1", 4680, 975, nullptr) || !usable_) {
        Unload();
        return false;
    }
    return true;
}

void Form1::Form_Load()
{
    SetVersionCaption(hwnd());
    // The conversion needs the path library, which is bound only when first
    // used: without it the program must not start at all.
    if (SearchFile(L"shlwapi.dll").empty()) {
        MsgBox(L"SHLWAPI.DLLが見つかりません、この環境では利用出来ません", MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    text1_ = AddControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, IdText1, 120, 120, 4455, 270,
                        WS_EX_CLIENTEDGE);
    command1_ = AddControl(L"BUTTON", L"変換", WS_TABSTOP | BS_DEFPUSHBUTTON, IdCommand1, 3480, 480,
                           1095, 375);
    // Drops onto the text box reach the window too: the box does not take files itself.
    DragAcceptFiles(hwnd(), TRUE);
    CenterOnScreen();
    usable_ = true;
}

bool Form1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_DROPFILES:
        Form_OLEDragDrop(reinterpret_cast<HDROP>(wParam));
        result = 0;
        return true;
    case WM_COMMAND:
        // Enter in the box presses the convert button, as its default button.
        if (LOWORD(wParam) == IdCommand1 || LOWORD(wParam) == IDOK) {
            Command1_Click();
            result = 0;
            return true;
        }
        return false;
    case WM_CLOSE:
        Unload();
        result = 0;
        return true;
    }
    (void)lParam;
    return false;
}

void Form1::Form_OLEDragDrop(HDROP drop)
{
    // A drop without a file list leaves the box as it is.
    const UINT length = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0 ? DragQueryFileW(drop, 0, nullptr, 0) : 0;
    if (length > 0) {
        std::vector<wchar_t> first(length + 1, L'\0');
        DragQueryFileW(drop, 0, first.data(), length + 1);
        SetWindowTextW(text1_, first.data());
    }
    DragFinish(drop);
}

void Form1::Command1_Click()
{
    const std::wstring text = WindowText(text1_);
    if (text.empty()) {
        MsgBox(L"変換するファイルを指定して下さい", MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    VtpPath = text;
    if (ReadIniValue(Vtp::Main, Vtp::ProjectName, L"", VtpPath).empty()) {
        MsgBox(L"Vortalisのプロジェクトファイルではありません", MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    if (!(ReadNumber(ReadIniValue(Vtp::Main, Vtp::Version, Vtp::VersionDefault, VtpPath)) <
          Vtp::FirstUnconvertedVersion)) {
        MsgBox(L"0.35以降のVTPファイルなので変換しませんでした", MB_ICONINFORMATION | MB_OK);
        return;
    }
    // A host project file chosen as input would be read and written at once.
    if (OutputIsInput(VtpPath)) {
        MsgBox(L"出力ファイルが入力ファイルと同じになるため変換しませんでした", MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    if (MsgBox(L"変換を開始します", MB_ICONQUESTION | MB_OKCANCEL) != IDOK) return;
    VtpDir = SplitPath(VtpPath)[0];
    Open_Project3();
}

void Form1::Open_Project3()
{
    const ConversionResult result = ConvertProject(VtpPath, VtpDir);
    switch (result.outcome) {
    case ConversionResult::Done:
        MsgBox(L"変換が完了しました", MB_ICONINFORMATION | MB_OK);
        break;
    case ConversionResult::WriteRefused:
        MsgBox(L"書き込みに失敗したため変換を中止しました", MB_ICONEXCLAMATION | MB_OK);
        break;
    case ConversionResult::CountOutOfRange:
        MsgBox(L"[" + result.section + L"] の N が -32768 ～ 32767 の範囲外のため変換を中止しました",
               MB_ICONEXCLAMATION | MB_OK);
        break;
    }
}
