// The console tool runner through the real pipe: the stand-in packer writes
// output of known size and shape, the device tool forwards it to the host.
#include "EndToEnd.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using e2e::BuildImage;
using e2e::Join;
using e2e::Project;
using e2e::ToolChunks;

// The stand-in packer's extra output: numbered 64-byte lines, cut to `size`.
std::wstring ExtraLines(size_t size)
{
    std::string bytes;
    bytes.reserve(size + 64);
    char line[80];
    for (unsigned long n = 1; bytes.size() < size; ++n) {
        std::snprintf(line, sizeof line, "line %07lu %s\r\n", n, ".................................................");
        bytes += line;
    }
    bytes.resize(size);
    return std::wstring(bytes.begin(), bytes.end());
}

TEST(Runner, ShortOutputIsOneExecuteAndNoOutputNone)
{
    Project project;
    {
        ts::ScopedEnv text(L"PPACK_SIM_TEXT", L"0123456789");
        EXPECT_EQ(ToolChunks(BuildImage(project)), std::vector<std::wstring>{L"0123456789"});
    }
    {
        ts::ScopedEnv text(L"PPACK_SIM_TEXT", L"");
        EXPECT_EQ(ToolChunks(BuildImage(project)), std::vector<std::wstring>{});
    }
}

TEST(Runner, LongOutputComesInChunksOfAtMost4094BytesInOrder)
{
    Project project;
    ts::ScopedEnv text(L"PPACK_SIM_TEXT", L"S");
    ts::ScopedEnv extra(L"PPACK_SIM_EXTRA", L"10000");
    const std::vector<std::wstring> chunks = ToolChunks(BuildImage(project));
    EXPECT_GE(chunks.size(), 3u);
    EXPECT_EQ(Join(chunks), L"S" + ExtraLines(10000));
}

TEST(Runner, AShortReadAfterALongOneSendsOnlyItsOwnBytes)
{
    Project project;
    ts::ScopedEnv chunks(L"PPACK_SIM_CHUNKS", L"300,20");
    ts::ScopedEnv pause(L"PPACK_SIM_CHUNK_PAUSE_MS", L"500");
    EXPECT_EQ(ToolChunks(BuildImage(project)),
              (std::vector<std::wstring>{std::wstring(300, L'A'), std::wstring(20, L'B')}));
}

TEST(Runner, OutputReachesTheHostWhileTheToolStillRuns)
{
    Project project;
    ts::ScopedEnv text(L"PPACK_SIM_TEXT", L"early\r\n");
    ts::ScopedEnv sleep(L"PPACK_SIM_SLEEP_MS", L"4000");
    ts::HostSession host(project.Host(L"CREATEPEX"));
    ASSERT_TRUE(e2e::Wait(e2e::Form6Caption));
    ASSERT_TRUE(e2e::Click(e2e::Form6Caption, L"作成"));
    std::vector<std::wstring> soFar;
    const DWORD start = GetTickCount();
    while (soFar.size() < 2 && GetTickCount() - start < 3000) {
        Sleep(20);
        soFar = host.ExecutesSoFar();
    }
    EXPECT_EQ(soFar, (std::vector<std::wstring>{e2e::Building, L"early\r\n"}))
        << "the line is there before the packer has ended";
    EXPECT_EQ(ToolChunks(host.Finish()), std::vector<std::wstring>{L"early\r\n"});
}

TEST(Runner, SixteenMegabytesArriveWholeAndInOrderWithoutAStall)
{
    Project project;
    const size_t size = 16u << 20;
    ts::ScopedEnv text(L"PPACK_SIM_TEXT", L"S");
    ts::ScopedEnv extra(L"PPACK_SIM_EXTRA", std::to_wstring(size));
    const DWORD start = GetTickCount();
    const std::vector<std::wstring> chunks = ToolChunks(BuildImage(project, L"VORTALIS0.exe", 110000));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(chunks.size(), (size + 1) / 4094);
    EXPECT_TRUE(Join(chunks) == L"S" + ExtraLines(size)) << "the output differs";
    // A runner that reads only after waiting for the tool holds it up for 30 s.
    EXPECT_LT(elapsed, 25000u);
}

TEST(Runner, DoubleByteCharactersCutByAReadArriveWhole)
{
    Project project;
    // After one single-byte character every read of 4094 bytes ends in a lead byte.
    std::wstring text = L"x";
    for (int i = 0; i < 3000; ++i) text += L"あ表ソ";
    ts::ScopedEnv env(L"PPACK_SIM_TEXT", text);
    const std::vector<std::wstring> chunks = ToolChunks(BuildImage(project));
    EXPECT_GE(chunks.size(), 5u);
    EXPECT_TRUE(Join(chunks) == text) << "characters were garbled";
}

TEST(Runner, AZeroByteIsDroppedAndTheRestForwarded)
{
    Project project;
    ts::ScopedEnv text(L"PPACK_SIM_TEXT", L"before|");
    ts::ScopedEnv nul(L"PPACK_SIM_NUL", L"1");
    EXPECT_EQ(Join(ToolChunks(BuildImage(project))), L"before|NUL><NUL\r\n");
}

TEST(Runner, AToolThatCannotStartIsReportedAndTheBuildFails)
{
    // The device tool alone, with no packer anywhere the search looks.
    ts::TempDir alone;
    const std::wstring program = alone / L"VORTALIS0.exe";
    ASSERT_TRUE(CopyFileW(ts::BinPath(L"VORTALIS0.exe").c_str(), program.c_str(), FALSE));
    Project project;
    const DWORD start = GetTickCount();
    const ts::HostResult host = BuildImage(project, program);
    EXPECT_LT(GetTickCount() - start, 10000u);
    ASSERT_EQ(host.executes.size(), 4u) << host.Joined();
    EXPECT_EQ(host.executes[0], e2e::Building);
    EXPECT_EQ(host.executes[1].rfind(L"起動できませんでした (エラー 2): PPACK.EXE -e ", 0), 0u)
        << host.executes[1];
    EXPECT_EQ(host.executes[1].substr(host.executes[1].size() - 2), L"\r\n");
    EXPECT_EQ(host.executes[2], L"\r\n");
    EXPECT_EQ(host.executes[3], e2e::BuildFailed);
}

TEST(Runner, AnExitCodeOtherThanZeroFailsTheBuild)
{
    Project project;
    ts::ScopedEnv text(L"PPACK_SIM_TEXT", L"x");
    for (const wchar_t* code : {L"3", L"-1"}) {
        ts::ScopedEnv exit(L"PPACK_SIM_EXIT", code);
        EXPECT_EQ(ToolChunks(BuildImage(project), e2e::BuildFailed), std::vector<std::wstring>{L"x"});
    }
    ts::ScopedEnv exit(L"PPACK_SIM_EXIT", L"0");
    EXPECT_EQ(ToolChunks(BuildImage(project)), std::vector<std::wstring>{L"x"});
}

}  // namespace
