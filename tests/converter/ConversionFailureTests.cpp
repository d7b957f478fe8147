// Writes the platform refuses: the conversion stops at the first one, after
// the one box of the profile access, and leaves everything as it was.
#include "Conversion.h"
#include "ConverterTestSupport.h"
#include "MsgBox.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(ConversionFailure, StopsAtTheFirstRefusedWrite)
{
    SetAppTitle(AppTitle_);
    ts::TempDir dir;
    const std::wstring d = dir.path();
    const std::wstring vtp = dir / L"game.vtp";
    WriteProjectText(vtp, L"[MAIN]\r\nPROJECT-NAME=p\r\n[C]\r\nN=2\r\n1=" + d + L"\\a.c\r\n2=" + d + L"\\b.c\r\n");
    const std::string input = ts::ReadBytes(vtp);
    const std::wstring sds = dir / L"game.sds";
    const std::string old = "[MAIN]\r\nPROJECT-NAME=old\r\n";

    auto expectOneRefusal = [&](const char* what) {
        ConversionResult result;
        const std::vector<std::wstring> boxes = BoxesDuring([&] { result = ConvertProject(vtp, d); });
        EXPECT_EQ(result.stop, ConversionStop::WriteRefused) << what;
        EXPECT_EQ(boxes, std::vector<std::wstring>{sds + L"\rへの書き込みに失敗しました"}) << what;
        EXPECT_EQ(ts::ReadBytes(vtp), input) << what;
    };

    // (A read-only output would be the first case here, but Wine run as root
    // writes into read-only files.)
    ts::WriteBytes(sds, old);
    {
        HANDLE locked = CreateFileW(sds.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(locked, INVALID_HANDLE_VALUE);
        expectOneRefusal("locked output");
        CloseHandle(locked);
        EXPECT_EQ(ts::ReadBytes(sds), old);
    }

    DeleteFileW(sds.c_str());
    ASSERT_TRUE(CreateDirectoryW(sds.c_str(), nullptr));
    expectOneRefusal("output name taken by a folder");
    RemoveDirectoryW(sds.c_str());

    // Writable again: the same conversion goes through without a box.
    ConversionResult result;
    EXPECT_TRUE(BoxesDuring([&] { result = ConvertProject(vtp, d); }).empty());
    EXPECT_EQ(result.stop, ConversionStop::None);
    EXPECT_EQ(Entry(L"SOURCE", L"2", sds), L".\\b.c");
}

}  // namespace
