// A refused profile write is shown to the user in one box and reported.
#include "Ini.h"
#include "MsgBox.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(ProfileFailure, MissingFolderAndLockedFileShowOneBoxEach)
{
    SetAppTitle(L"VORTALIS0");
    ts::TempDir dir;
    const std::wstring missing = dir / L"no such folder\\p.sds";
    const std::wstring locked = dir / L"locked.sds";
    ts::WriteBytes(locked, "[PEX]\r\nTITLE=old\r\n");
    ts::LockedFile lock(locked);

    for (const std::wstring& file : {missing, locked}) {
        ts::Process box(ts::Quote(ts::BinPath(L"uidriver.exe")) + L" msgbox --press ok");
        EXPECT_FALSE(WriteIniValue(L"PEX", L"TITLE", L"new", file));
        ts::ProcessResult seen = box.Wait();
        ASSERT_EQ(seen.exitCode, 0u) << seen.output;
        EXPECT_EQ(ts::FromUtf8(seen.output), L"VORTALIS0\n" + file + L"\rへの書き込みに失敗しました");
    }
    EXPECT_FALSE(ts::FileExists(missing));
    EXPECT_EQ(ts::ReadBytes(locked), "[PEX]\r\nTITLE=old\r\n");
}

}  // namespace
