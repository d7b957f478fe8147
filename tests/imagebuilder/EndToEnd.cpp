#include "EndToEnd.h"

#include <gtest/gtest.h>

namespace e2e {

const wchar_t Form6Caption[] = L"実行イメージ作成";
const wchar_t MenuCaption[] = L"Vortalis０ Ver 0.10";
const wchar_t Building[] = L"実行イメージ作成中...\r\n";
const wchar_t Built[] = L"実行イメージ作成完了.\r\n";
const wchar_t BuildFailed[] = L"実行イメージ作成失敗.\r\n";

Project::Project(const std::wstring& sdsText)
{
    ts::WriteBytes(file(), ts::ToCp932(sdsText));
    ts::WriteBytes(dir_ / L"game.srf", "SRF program bytes\x01\x02");
}

std::wstring Project::DefaultText()
{
    return L"[MAIN]\r\nPROJECT-NAME=GAME\r\nLANGFILE=piece.slf\r\n[SOURCE]\r\nN=1\r\n1=.\\game.c\r\n";
}

std::wstring Project::Read(const std::wstring& section, const std::wstring& key) const
{
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(section.c_str(), key.c_str(), L"<absent>", value, 1024, file().c_str());
    return value;
}

void Project::Write(const std::wstring& section, const std::wstring& key, const std::wstring& value) const
{
    WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file().c_str());
}

ts::HostOptions Project::Host(const std::wstring& args) const
{
    ts::HostOptions options;
    options.project = file();
    options.args = args;
    return options;
}

namespace {
bool Step(const std::wstring& arguments)
{
    const ts::ProcessResult run = ts::Ui(arguments);
    if (run.exitCode == 0) return true;
    ADD_FAILURE() << "uidriver " << arguments << ": " << run.output;
    return false;
}
}

bool Wait(const std::wstring& window) { return Step(L"wait " + ts::Quote(window)); }
bool Gone(const std::wstring& window) { return Step(L"gone " + ts::Quote(window)); }

bool Click(const std::wstring& window, const std::wstring& button)
{
    return Step(L"click " + ts::Quote(window) + L" " + ts::Quote(button));
}

bool SetEdit(const std::wstring& window, int index, const std::wstring& text)
{
    return Step(L"set-edit " + ts::Quote(window) + L" " + std::to_wstring(index) + L" " + ts::Quote(text));
}

std::wstring Edit(const std::wstring& window, int index)
{
    const ts::ProcessResult run = ts::Ui(L"get-edit " + ts::Quote(window) + L" " + std::to_wstring(index));
    return run.exitCode == 0 ? ts::FromUtf8(run.output) : L"<no edit box>";
}

std::vector<std::wstring> Form6Boxes()
{
    std::vector<std::wstring> boxes;
    for (int i = 0; i < 4; ++i) boxes.push_back(Edit(Form6Caption, i));
    return boxes;
}

ts::HostResult BuildImage(const Project& project, const std::wstring& program, DWORD timeoutMs)
{
    ts::HostOptions options = project.Host(L"CREATEPEX");
    options.program = program;
    ts::HostSession host(options);
    if (!Wait(Form6Caption) || !Click(Form6Caption, L"作成")) ts::Ui(L"close " + ts::Quote(Form6Caption));
    return host.Finish(timeoutMs);
}

std::vector<std::wstring> ToolChunks(const ts::HostResult& host, const std::wstring& last)
{
    EXPECT_FALSE(host.timedOut);
    const std::vector<std::wstring>& e = host.executes;
    if (e.size() < 4) {
        ADD_FAILURE() << "only " << e.size() << " executes: " << host.Joined();
        return {};
    }
    EXPECT_EQ(e.front(), Building);
    EXPECT_EQ(e[e.size() - 3], L"");
    EXPECT_EQ(e[e.size() - 2], L"\r\n");
    EXPECT_EQ(e.back(), last);
    std::vector<std::wstring> chunks(e.begin() + 1, e.end() - 3);
    for (size_t i = 0; i < chunks.size(); ++i) {
        EXPECT_FALSE(chunks[i].empty()) << "an empty execute before the end, at chunk " << i;
        EXPECT_LE(AnsiSize(chunks[i]), 4094u) << "chunk " << i;
    }
    return chunks;
}

std::wstring Join(const std::vector<std::wstring>& chunks)
{
    std::wstring all;
    for (const auto& c : chunks) all += c;
    return all;
}

size_t AnsiSize(const std::wstring& text) { return ts::ToCp932(text).size(); }

}  // namespace e2e
