// Path helpers, the platform ones through the real shlwapi and kernel32.
#include "PathConv.h"
#include "PubFnc.h"
#include "Search.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using Split = std::array<std::wstring, 2>;

TEST(Paths, SplitPathCutsAtTheLastBackslashAndUnquotes)
{
    EXPECT_EQ(SplitPath(L"C:\\proj\\game.sds"), (Split{L"C:\\proj", L"game.sds"}));
    EXPECT_EQ(SplitPath(L"game.sds"), (Split{L"", L"game.sds"}));
    EXPECT_EQ(SplitPath(L"C:\\game.sds"), (Split{L"C:", L"game.sds"}));
    EXPECT_EQ(SplitPath(L"C:\\proj\\"), (Split{L"C:\\proj", L""}));
    EXPECT_EQ(SplitPath(L""), (Split{L"", L""}));
    EXPECT_EQ(SplitPath(L"\"C:\\my proj\\game.sds\""), (Split{L"C:\\my proj", L"game.sds"}));
    // The second byte of "表" in code page 932 is a backslash; the text is cut
    // only at real backslashes.
    EXPECT_EQ(SplitPath(L"C:\\表\\ソース.c"), (Split{L"C:\\表", L"ソース.c"}));
}

TEST(Paths, StripExtensionTakesTheLastDotAnywhere)
{
    EXPECT_EQ(StripExtension(L"C:\\proj\\main.c"), L"C:\\proj\\main");
    EXPECT_EQ(StripExtension(L"main"), L"main");
    EXPECT_EQ(StripExtension(L".profile"), L"");
    EXPECT_EQ(StripExtension(L".\\main"), L"");
    EXPECT_EQ(StripExtension(L"C:\\my.dir\\main"), L"C:\\my");
    EXPECT_EQ(StripExtension(L"\"main\""), L"\"main\"");
    EXPECT_EQ(StripExtension(L"\"C:\\proj\\main.c\""), L"C:\\proj\\main");
}

TEST(Paths, BackslashAndQuoteHelpers)
{
    EXPECT_EQ(TrimTrailingBackslash(L"C:\\"), L"C:");
    EXPECT_EQ(TrimTrailingBackslash(L"C:\\a\\\\"), L"C:\\a\\");
    EXPECT_EQ(TrimTrailingBackslash(L""), L"");
    EXPECT_EQ(AddTrailingBackslash(L"C:\\proj"), L"C:\\proj\\");
    EXPECT_EQ(AddTrailingBackslash(L"C:\\proj\\"), L"C:\\proj\\");
    EXPECT_EQ(AddTrailingBackslash(L""), L"\\");
    EXPECT_EQ(QuotePath(L"\"", 0), L"");
    EXPECT_EQ(QuotePath(L"\"\"", 0), L"");
    EXPECT_EQ(QuotePath(L"\"a\"b\"", 0), L"a\"b");
    EXPECT_EQ(QuotePath(L"\"C:\\a", 1), L"\"C:\\a\"");
    EXPECT_EQ(QuotePath(L"C:\\a\"", 1), L"\"C:\\a\"");
    EXPECT_EQ(QuotePath(L"C:\\a", 1), L"C:\\a");
    EXPECT_EQ(QuotePath(L"\"C:\\a\"", 1), L"\"C:\\a\"");
}

TEST(Paths, RelativePathInThePlatformsForm)
{
    EXPECT_EQ(RelativePath(L"C:\\proj\\main.srf", L"C:\\proj"), L".\\main.srf");
    EXPECT_EQ(RelativePath(L"C:\\proj\\src\\a.c", L"C:\\proj"), L".\\src\\a.c");
    EXPECT_EQ(RelativePath(L"C:\\other\\a.pex", L"C:\\proj"), L"..\\other\\a.pex");
    EXPECT_EQ(RelativePath(L"D:\\other\\a.pex", L"C:\\proj"), L"");
    EXPECT_EQ(RelativePath(L"", L"C:\\proj"), L"");
    EXPECT_EQ(RelativePath(L"C:\\proj\\表示.c", L"C:\\proj"), L".\\表示.c");
}

TEST(Paths, CanonicalPathResolvesDotSegments)
{
    EXPECT_EQ(CanonicalPath(L"C:\\proj\\.\\main.srf"), L"C:\\proj\\main.srf");
    EXPECT_EQ(CanonicalPath(L"C:\\proj\\..\\other\\a.pex"), L"C:\\other\\a.pex");
    EXPECT_EQ(CanonicalPath(L"C:\\表\\..\\表\\.\\a.c"), L"C:\\表\\a.c");
}

TEST(Paths, PathsLongerThanTheBuffersNeverOverrun)
{
    const std::wstring deep = L"C:\\" + std::wstring(300, L'x') + L"\\..\\main.srf";
    EXPECT_EQ(CanonicalPath(deep), deep);
    EXPECT_EQ(RelativePath(L"C:\\proj\\" + std::wstring(300, L'y'), L"C:\\proj"), L"");
    EXPECT_EQ(RelativePath(L"C:\\proj\\a.c", L"C:\\" + std::wstring(300, L'z')), L"");
    EXPECT_EQ(SearchFile(L"C:\\" + std::wstring(400, L'q') + L".txt"), L"");
}

TEST(Paths, SearchFileFindsExistingFilesOnly)
{
    ts::TempDir dir;
    const std::wstring file = dir / L"ファイル.srf";
    ts::WriteBytes(file, "x");
    EXPECT_EQ(SearchFile(file), file);
    EXPECT_EQ(SearchFile(dir / L"missing.srf"), L"");
    EXPECT_EQ(SearchFile(L""), L"");
    EXPECT_NE(SearchFile(L"shlwapi.dll"), L"");
}

}  // namespace
