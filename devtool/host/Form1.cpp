// The link window's load and unload, and the values and messages it gives the jobs.
#include "Form1.h"

#include "PubFnc.h"

std::wstring ProjectFilePath;
std::wstring ProjectDir;

namespace {
constexpr DWORD RequestTimeoutMs = 5000;
constexpr DWORD ExecuteTimeoutMs = 5000;
}

Form1& Form1::Instance()
{
    static Form1 form;
    return form;
}

void Form1::Form_Load()
{
    // No host answering means no project: the start check refuses the run.
    if (!Text3.Open(L"Quandrix", L"system")) return;
    ProjectFilePath = Text3.Request(L"projectFileName", RequestTimeoutMs);
    ProjectDir = SplitPath(ProjectFilePath)[0];
}

void Form1::Unload() { Text3.Close(); }

void HostMessage(const std::wstring& text)
{
    // A refused or timed-out execute is dropped: the job goes on, as it would
    // with a host that no longer shows its output.
    Form1::Instance().Text3.Execute(text, ExecuteTimeoutMs);
}
