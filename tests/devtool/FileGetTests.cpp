// The open and save dialogs, answered by the UI driver from another process.
#include "TestSupport.h"
#include "pubForm.h"

#include <gtest/gtest.h>

namespace {

std::wstring Answer(const std::wstring& driverArgs, const std::wstring& kaku, const std::wstring& mode,
                    const std::wstring& initial, HWND owner = nullptr, ts::ProcessResult* seen = nullptr)
{
    ts::Process driver(ts::Quote(ts::BinPath(L"uidriver.exe")) + L" " + driverArgs);
    std::wstring chosen = pubForm::FileGet(kaku, mode, initial, owner);
    ts::ProcessResult r = driver.Wait();
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    if (seen) *seen = r;
    return chosen;
}

TEST(FileGet, CancelAndTypedNamesComeBackAsTheyAre)
{
    ts::TempDir dir;
    const std::wstring kaku = L"実行イメージファイル(*.pex)|*.pex|すべてのファイル(*.*)|*.*";
    EXPECT_EQ(Answer(L"file-dialog --cancel", kaku, L"OPEN", L""), L"");

    // No must-exist check and no default extension.
    const std::wstring typed = dir / L"newname";
    EXPECT_EQ(Answer(L"file-dialog " + ts::Quote(typed), kaku, L"open", L""), typed);

    const std::wstring japanese = dir / L"ゲーム.pex";
    EXPECT_EQ(Answer(L"file-dialog " + ts::Quote(japanese), kaku, L"OPEN", L""), japanese);
}

TEST(FileGet, SaveOverAnExistingFileAsksNothing)
{
    ts::TempDir dir;
    const std::wstring existing = dir / L"shot.bmp";
    ts::WriteBytes(existing, "old");
    // The driver answers the first dialog it finds; an overwrite prompt would
    // stay open and the call would not return within the driver's wait.
    EXPECT_EQ(Answer(L"file-dialog " + ts::Quote(existing), L"ビットマップファイル(*.bmp)|*.bmp", L"SAVE", L""),
              existing);
    EXPECT_EQ(ts::ReadBytes(existing), "old");
    ts::ProcessResult none = ts::Ui(L"--timeout 500 msgbox");
    EXPECT_NE(none.exitCode, 0u) << "no prompt is left behind";
}

TEST(FileGet, ModeInitialNameAndOwner)
{
    ts::TempDir dir;
    HWND owner = CreateWindowExW(0, L"STATIC", L"FileGet owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    const std::wstring target = dir / L"a.srf";
    ts::ProcessResult seen;
    EXPECT_EQ(Answer(L"file-dialog --owner \"FileGet owner\" " + ts::Quote(target),
                     L"入力ファイル(*.SRF)|*.SRF", L"OPEN", dir.path() + L"\\", owner, &seen),
              target);
    DestroyWindow(owner);

    const std::string openCaption = seen.output;

    // "OPEN" in any case opens; anything else saves. Two calls in a row behave alike.
    ts::ProcessResult lower, save, again;
    Answer(L"file-dialog " + ts::Quote(target), L"a|*.a", L"open", L"", nullptr, &lower);
    Answer(L"file-dialog " + ts::Quote(target), L"a|*.a", L"", L"", nullptr, &save);
    EXPECT_EQ(Answer(L"file-dialog " + ts::Quote(target), L"a|*.a", L"SAVE", L"", nullptr, &again), target);
    EXPECT_EQ(lower.output, openCaption);
    EXPECT_NE(save.output, openCaption);
    EXPECT_EQ(again.output, save.output);
}

TEST(FileGet, FilterPairsBecomeThePlatformsList)
{
    EXPECT_EQ(DialogFilter(L"a(*.pex)|*.pex|b|*.*"), std::wstring(L"a(*.pex)\0*.pex\0b\0*.*\0\0", 22));
}

}  // namespace
