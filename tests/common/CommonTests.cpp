// The support library's pure rules: paths, typed file names, profile entries,
// numbers and counts, the code page crossing and whole-file replacement; and
// the programs as built: what their resources tell Windows, among it the
// common controls of version 6, and their icon.
#include "Ansi.h"
#include "FileBytes.h"
#include "Ini.h"
#include "PathConv.h"
#include "ProjectFile.h"
#include "PubFnc.h"
#include "pubForm.h"
#include "Search.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using Split = std::array<std::wstring, 2>;

TEST(Paths, StringHelpers)
{
    const struct { std::wstring in; Split split; std::wstring stripped; } cases[] = {
        {L"C:\\proj\\game.sds", {L"C:\\proj", L"game.sds"}, L"C:\\proj\\game"}, {L"game.sds", {L"", L"game.sds"}, L"game"},
        {L"C:\\proj\\", {L"C:\\proj", L""}, L"C:\\proj\\"}, {L"", {L"", L""}, L""}, {L".profile", {L"", L".profile"}, L""},
        {L"\"C:\\my proj\\a.c\"", {L"C:\\my proj", L"a.c"}, L"C:\\my proj\\a"}, {L"\"main\"", {L"", L"main"}, L"\"main\""},
        {L"C:\\表\\ソース.c", {L"C:\\表", L"ソース.c"}, L"C:\\表\\ソース"},  // trail bytes 0x5C
        {L"C:\\my.dir\\main", {L"C:\\my.dir", L"main"}, L"C:\\my"}};
    for (const auto& c : cases) {
        EXPECT_EQ(SplitPath(c.in), c.split) << ts::Utf8(c.in);
        EXPECT_EQ(StripExtension(c.in), c.stripped) << ts::Utf8(c.in);
    }
    EXPECT_EQ((Split{TrimTrailingBackslash(L"C:\\a\\\\"), TrimTrailingBackslash(L"")}), (Split{L"C:\\a\\", L""}));
    EXPECT_EQ((Split{AddTrailingBackslash(L"C:\\proj"), AddTrailingBackslash(L"")}), (Split{L"C:\\proj\\", L"\\"}));
    const struct { std::wstring in; short mode; std::wstring out; } quotes[] = {
        {L"\"", 0, L""}, {L"\"\"", 0, L""}, {L"\"a\"b\"", 0, L"a\"b"}, {L"\"C:\\a", 1, L"\"C:\\a\""},
        {L"C:\\a\"", 1, L"\"C:\\a\""}, {L"C:\\a", 1, L"C:\\a"}, {L"\"C:\\a\"", 1, L"\"C:\\a\""}};
    for (const auto& q : quotes) EXPECT_EQ(QuotePath(q.in, q.mode), q.out) << ts::Utf8(q.in);
}

// A name typed into the capture window's save dialog keeps an extension of
// any of its types, else gets the selected type's.
TEST(FileGet, TypedNamesGetTheSelectedTypesExtension)
{
    const std::wstring types = L"b(*.bmp)|*.bmp|p(*.png)|*.png;*.apng|g(*.gif)|*.gif|all|*.*";
    const struct { std::wstring typed; unsigned type; std::wstring name; } cases[] = {
        {L"C:\\a\\shot", 1, L"C:\\a\\shot.bmp"}, {L"C:\\a\\shot", 2, L"C:\\a\\shot.png"},
        {L"C:\\a\\shot.v2", 2, L"C:\\a\\shot.v2.png"}, {L"C:\\a\\shot.GIF", 2, L"C:\\a\\shot.GIF"},
        {L"C:\\a\\shot.apng", 1, L"C:\\a\\shot.apng"}, {L"C:/my.dir/shot", 3, L"C:/my.dir/shot.gif"},
        {L"C:\\a\\shot.", 2, L"C:\\a\\shot.png"}, {L"C:\\a\\shot.txt", 4, L"C:\\a\\shot.txt"}};
    for (const auto& c : cases) EXPECT_EQ(WithTypeExtension(c.typed, c.type, types), c.name) << ts::Utf8(c.typed);
}

TEST(Paths, PlatformHelpersNeverOverrunTheirBuffers)
{
    const std::wstring x300(300, L'x');
    // (Paths of an ordinary length: the conversion's table.)
    EXPECT_EQ(RelativePath(L"C:\\proj\\" + x300, L"C:\\proj"), L"");
    EXPECT_EQ(RelativePath(L"C:\\proj\\a.c", L"C:\\" + x300), L"");
    EXPECT_EQ(CanonicalPath(L"C:\\表\\..\\表\\.\\a.c"), L"C:\\表\\a.c");
    EXPECT_EQ(CanonicalPath(L"C:\\" + x300 + L"\\..\\a"), L"C:\\" + x300 + L"\\..\\a");

    ts::TempDir dir;
    ts::WriteBytes(dir / L"ファイル.srf", "x");
    EXPECT_EQ(SearchFile(dir / L"ファイル.srf"), dir / L"ファイル.srf");
    EXPECT_EQ(SearchFile(dir / L"missing.srf"), L"");
    EXPECT_EQ(SearchFile(L""), L"");
    EXPECT_EQ(SearchFile(L"C:\\" + std::wstring(400, L'q')), L"");
}

TEST(Profile, EntriesReadWrittenAndRemovedInCodePage932)
{
    ts::TempDir dir;
    const std::wstring file = dir / L"ゲーム.sds";
    ts::WriteBytes(file, "[HOST]\r\nKEEP=yes\r\n; a comment\r\n[PEX]\r\nTITLE=old\r\nICON=i\r\n");
    EXPECT_EQ(ReadIniValue(L"PEX", L"X", L" keep", file), L" keep");
    EXPECT_EQ(ReadIniValue(L"pex", L"title", L"", file), L"old");
    ASSERT_TRUE(WriteIniValue(L"PEX", L"TITLE", L"表示テスト", file));
    ASSERT_TRUE(WriteIniValue(L"PEX", L"ICON", L"", file));
    EXPECT_EQ(ts::ReadBytes(file), "[HOST]\r\nKEEP=yes\r\n; a comment\r\n[PEX]\r\nTITLE=\x95\x5c\x8e\xa6"
                                   "\x83\x65\x83\x58\x83\x67\r\n");
    for (const size_t length : {255u, 256u, 30000u}) {
        const std::wstring value(length, L'a');
        ASSERT_TRUE(WriteIniValue(L"S", L"K", value, file));
        EXPECT_EQ(ReadIniValue(L"S", L"K", L"", file), value) << length;
    }
    ASSERT_TRUE(WriteIniValue(L"S", L"J", std::wstring(200, L'漢'), file));
    EXPECT_EQ(ReadIniValue(L"S", L"J", L"", file), std::wstring(200, L'漢'));
}

TEST(Ansi, NoBestFitCharacterTheCodePageLacksBecomesTheDefault)
{
    const struct { std::wstring text; std::string bytes; } cases[] = {
        {L"a\u00e9b", "a?b"}, {L"\u00a5", "?"}, {L"\u0416", "\x84\x47"}, {L"表", "\x95\x5c"}, {L"ｱ", "\xb1"}};
    for (const auto& c : cases) EXPECT_EQ(ToAnsi(c.text), c.bytes) << ts::Utf8(c.text);
    EXPECT_EQ(FromAnsi("\x95\x5c"), L"表");
}

TEST(FileBytes, ReplacesWholeOrLeavesTheOldFileAlone)
{
    ts::TempDir dir;
    // Names whose code page 932 bytes hold the byte of a backslash; attributes
    // the new file keeps, or that refuse it; a file another program holds.
    // Each replacement makes a new file in the folder, so the folder's write
    // time changes: a read-only file is refused before, by the code's own
    // check, where the platform would refuse only the last step.
    const struct { std::wstring name; DWORD attributes; bool held, replaced, touched; } cases[] = {
        {L"表示.bmp", FILE_ATTRIBUTE_ARCHIVE, false, true, true}, {L"ソフト.bmp", FILE_ATTRIBUTE_ARCHIVE, false, true, true},
        {L"hidden.sds", FILE_ATTRIBUTE_HIDDEN, false, true, true}, {L"system.sds", FILE_ATTRIBUTE_SYSTEM, false, true, true},
        {L"readonly.sds", FILE_ATTRIBUTE_READONLY, false, false, false}, {L"held.sds", FILE_ATTRIBUTE_ARCHIVE, true, false, true}};
    const sim::Handle folder(CreateFileW(dir.path().c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, 7, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const FILETIME longAgo = {0, 0x01A00000};
    for (const auto& c : cases) {
        const std::wstring file = dir / c.name;
        ts::WriteBytes(file, "old contents");
        SetFileAttributesW(file.c_str(), c.attributes);
        const sim::Handle holder(c.held ? CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                                      : INVALID_HANDLE_VALUE);
        FILETIME written = {};
        ASSERT_TRUE(SetFileTime(folder.get(), nullptr, nullptr, &longAgo));
        EXPECT_EQ(ReplaceFileBytes(file, "new"), c.replaced) << ts::Utf8(c.name);
        EXPECT_EQ(GetFileTime(folder.get(), nullptr, nullptr, &written) && CompareFileTime(&written, &longAgo), c.touched)
            << ts::Utf8(c.name);
        EXPECT_EQ(ts::ReadBytes(file), c.replaced ? "new" : "old contents") << ts::Utf8(c.name);
        EXPECT_EQ(GetFileAttributesW(file.c_str()) & c.attributes, c.attributes) << ts::Utf8(c.name);
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    CreateDirectoryW((dir / L"b.sds").c_str(), nullptr);
    EXPECT_FALSE(ReplaceFileBytes(dir / L"b.sds", "x"));
    WIN32_FIND_DATAW found;  // the new contents went nowhere else
    EXPECT_EQ(FindFirstFileW((dir / L"*.tmp").c_str(), &found), INVALID_HANDLE_VALUE) << ts::Utf8(found.cFileName);
}

TEST(ProjectFile, NumbersAndCounts)
{
    const struct { std::wstring text; double value; } numbers[] = {
        {L"0.35", 0.35}, {L"  12abc", 12}, {L"1 2\t3\n4", 1234}, {L"-2.5", -2.5}, {L".5", 0.5}, {L"3,5", 3},
        {L"1e3", 1000}, {L"2e", 2}, {L"abc", 0}, {L"", 0}, {L"-", 0}, {L"１２", 0}};
    for (const auto& n : numbers) EXPECT_EQ(ReadNumber(n.text), n.value) << ts::Utf8(n.text);
    EXPECT_LT(ReadNumber(L"0.34999999"), 0.35);
    const struct { std::wstring text; std::optional<short> count; } counts[] = {
        {L"2.5", 2}, {L"3.5", 4}, {L"-2.5", -2}, {L"2.51", 3}, {L"text", 0}, {L"32767.4", 32767},
        {L"-32768.5", -32768}, {L"32767.5", std::nullopt}, {L"-32769", std::nullopt}, {L"1e400", std::nullopt},
        {L"1e-400", 0}, {L"99999999999999999999", std::nullopt}};
    for (const auto& c : counts) EXPECT_EQ(ReadCount(c.text), c.count) << ts::Utf8(c.text);
}

const std::wstring Programs[] = {L"VORTALIS0", L"VTP2SDS", L"pece"};
const std::string Architecture = sizeof(void*) == 8 ? "amd64" : "x86";

std::string Resource(HMODULE module, LPCWSTR type)
{
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), type);
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded) return {};
    return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
}

TEST(Programs, ManifestsDeclareTheBuildsArchitectureControlsRightsAndScaling)
{
    for (const std::wstring& program : Programs) {
        const HMODULE module = LoadLibraryExW(ts::BinPath(program + L".exe").c_str(), nullptr,
                                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        const std::string name = ts::Utf8(program);
        ASSERT_TRUE(module) << name;
        const std::string manifest = Resource(module, RT_MANIFEST);
        for (const std::string& part :
             {std::string("name=\"").append(name).append("\" version=\"0.10.0.0\" processorArchitecture=\"").append(Architecture).append("\"/>"),
              std::string("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string("publicKeyToken=\"6595b64144ccf1df\""),
              std::string("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"),
              std::string("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"),
              std::string("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                          "PerMonitorV2, PerMonitor</dpiAwareness>")})
            EXPECT_TRUE(manifest.find(part) != std::string::npos) << name << ": " << part;
        EXPECT_FALSE(Resource(module, RT_GROUP_ICON).empty()) << name << ": no first icon";
        FreeLibrary(module);
    }
}

}  // namespace
