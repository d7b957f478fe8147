#include "ConverterTestSupport.h"

#include "Ini.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

void WriteProjectText(const std::wstring& path, const std::wstring& text)
{
    ts::WriteBytes(path, ts::ToCp932(text));
}

std::wstring Entry(const std::wstring& section, const std::wstring& key, const std::wstring& file)
{
    return ReadIniValue(section, key, Absent, file);
}

HWND FindBox()
{
    HWND box = FindWindowW(L"#32770", AppTitle_);
    return box && IsWindowVisible(box) ? box : nullptr;
}

HWND WaitForBox(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND box = FindBox()) return box;
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(10);
    }
}

namespace {
const DWORD MessageBoxReturnMs = 2500;
DWORD lastAnswer = GetTickCount() - MessageBoxReturnMs;
}

void WaitForLastBoxToReturn()
{
    const DWORD since = GetTickCount() - lastAnswer;
    if (since < MessageBoxReturnMs) Sleep(MessageBoxReturnMs - since);
}

bool BoxFollows(DWORD ms)
{
    const DWORD since = GetTickCount() - lastAnswer;
    return WaitForBox((since < MessageBoxReturnMs ? MessageBoxReturnMs - since : 0) + ms) != nullptr;
}

std::wstring Answer(const std::wstring& button)
{
    HWND box = WaitForBox(10000);
    if (!box) {
        ADD_FAILURE() << "no message box of the converter";
        return {};
    }
    ts::ProcessResult seen = ts::Ui(L"msgbox --press " + button);
    EXPECT_EQ(seen.exitCode, 0u) << seen.output;
    const std::wstring shown = ts::FromUtf8(seen.output);
    const size_t cut = shown.find(L'\n');
    EXPECT_EQ(shown.substr(0, cut), AppTitle_);
    // The press is posted: the next box must not be taken for this one.
    for (int i = 0; i < 1000 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(10);
    lastAnswer = GetTickCount();
    return cut == std::wstring::npos ? std::wstring() : shown.substr(cut + 1);
}

std::vector<std::wstring> BoxesDuring(const std::function<void()>& work)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    std::vector<std::wstring> texts;
    const DWORD start = GetTickCount();
    while (!done && GetTickCount() - start < 60000) {
        if (FindBox())
            texts.push_back(Answer(L"ok"));
        else
            Sleep(10);
    }
    worker.join();
    return texts;
}
