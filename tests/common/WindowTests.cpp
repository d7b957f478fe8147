// The boxes, in this process: owned by the window that shows them.
#include "Ini.h"
#include "MsgBox.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

// The box is owned by the window that shows it, even one that is not the
// active window (here: hidden), and bears the program's title. (Another
// refused write, a folder in the file's place: the converter's session.)
TEST(Profile, ARefusedWriteIsOneWarningBoxOverItsOwnerAndChangesNothing)
{
    SetAppTitle(L"VORTALIS0");
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    ts::TempDir dir;
    const std::wstring missing = dir / L"no such folder\\p.sds";
    std::wstring seen;
    HWND seenOwner = nullptr;
    bool written = true;
    ts::WhileShown([&] { written = WriteIniValue(L"PEX", L"TITLE", L"new", missing, owner); }, [&] {
        seenOwner = GetWindow(ui::WaitForMessageBox(ts::Bound), GW_OWNER);
        seen = ts::Box();
    });
    EXPECT_FALSE(written);
    EXPECT_EQ(seenOwner, owner);
    EXPECT_EQ(seen, L"warning\nVORTALIS0\n" + missing + L"\rへの書き込みに失敗しました");
    EXPECT_EQ(GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
    DestroyWindow(owner);
}

}  // namespace
