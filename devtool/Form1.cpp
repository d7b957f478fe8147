#include "Form1.h"

#include "PubFnc.h"

std::wstring ProjectFilePath;
std::wstring ProjectDir;

namespace {
constexpr DWORD kRequestTimeoutMs = 5000;
}

Form1& Form1::Instance()
{
    static Form1 form;
    return form;
}

void Form1::Form_Load()
{
    // No host answering means no project: the start check refuses the run.
    if (!text3_.Open(L"Quandrix", L"system")) return;
    ProjectFilePath = text3_.Request(L"projectFileName", kRequestTimeoutMs);
    ProjectDir = SplitPath(ProjectFilePath)[0];
}

void Form1::Unload() { text3_.Close(); }
