// The device tool's pure rules: verbs, the packer's command line, where tool
// output may be cut, the device's records and listings.
#include "ConsoleTool.h"
#include "ImageBuild.h"
#include "TestSupport.h"
#include "Verbs.h"
#include "pieceif.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <thread>

namespace {

TEST(Verbs, WholeArgumentTextComparedAfterUpperCasing)
{
    const struct { std::wstring line; Verb verb; } cases[] = {
        {L"VORTALIS0.exe createpex", Verb::CreatePex}, {L"VORTALIS0.exe FileTrans", Verb::FileTrans},
        {L"\"C:\\a b\\VORTALIS0.exe\"  \tInfo", Verb::Info}, {L"\"C:\\a b\\VORTALIS0.exe\"capture", Verb::Capture},
        {L"x rUn", Verb::Run}, {L"x INFO ", Verb::Menu}, {L"x  INFO", Verb::Info}, {L"x INFO X", Verb::Menu},
        {L"x RUNX", Verb::Menu}, {L"x ＩＮＦＯ", Verb::Menu}, {L"x \"INFO\"", Verb::Menu}, {L"x", Verb::Menu},
        {L"\"unterminated INFO", Verb::Menu}, {L"", Verb::Menu}};
    for (const auto& c : cases) EXPECT_EQ(MatchVerb(ArgumentText(c.line)), c.verb) << ts::Utf8(c.line);
    EXPECT_EQ(ArgumentText(L"\"C:\\a b\\VORTALIS0.exe\" \tINFO X "), L"INFO X ");
}

std::vector<std::wstring> Parse(const std::wstring& line)
{
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(line.c_str(), &count);
    std::vector<std::wstring> args(argv, argv + count);
    LocalFree(argv);
    return args;
}

TEST(PackerCommandLine, TextsWithBlanksOrQuotesAreQuotedOthersGoInAsTyped)
{
    // (Paths with blanks and an icon without: the image build window's session.)
    EXPECT_EQ(PackerCommandLine(L"", L"", L"", L""), L"PPACK.EXE -e  -o -n");
    EXPECT_EQ(PackerCommandLine(L"a\"b\\", L"ゲーム.srf", L"x.pex", L""), L"PPACK.EXE -e ゲーム.srf -ox.pex -n\"a\\\"b\\\\\"");
    for (const std::wstring text : {L"a\"b\\", L"ゲーム \"表\"", L"say \"hi\"", L"ends in backslash\\", L"two\\\\ \\\\", L"\\\" x", L" ", L"\t"})
        EXPECT_EQ(Parse(L"p.exe -n" + CommandLineArgument(text)), (std::vector<std::wstring>{L"p.exe", L"-n" + text}));
    EXPECT_EQ(CommandLineArgument(L"plain\\\"text"), L"\"plain\\\\\\\"text\"");
}

TEST(WholeCharacterLength, KeepsBackOnlyALeadByteWithoutItsTrailByte)
{
    // "あ" 82 A0, "ソ" 83 5C, "表" 95 5C, "＝" 81 81 (a trail byte that is a lead byte too), "ｱ" B1.
    const struct { std::string bytes; size_t whole; } cases[] = {
        {"", 0}, {"abc", 3}, {"\x82\xa0", 2}, {"\x82", 0}, {"x\x82\xa0\x82", 3}, {"\xb1\xb2\xb3", 3},
        {"\x83\x5c\x95\x5c\x82", 4}, {"\x81\x81\x81\x81\x81", 4}, {"ab\x81\x81", 4}, {"a\x81", 1}};
    for (const auto& c : cases) EXPECT_EQ(WholeCharacterLength(c.bytes), c.whole) << c.bytes;
}

TEST(DeviceVersion, WordsOfTheRecordDecode)
{
    const struct { std::uint16_t hardware, bios, date; std::array<int, 7> fields; } cases[] = {
        {0x0102, 0x0114, 0x068F, {1, 2, 1, 0x14, 3, 4, 15}}, {0x010A, 0xFF00, 0x0000, {1, 10, 255, 0, 0, 0, 0}},
        {0, 0, 0xFFFF, {0, 0, 0, 0, 127, 15, 31}}};
    for (const auto& c : cases) {
        DeviceVersionRecord record;
        record.fill(0xA5);  // the library's own part must not leak into the fields
        const std::uint16_t words[] = {32, c.hardware, c.bios, c.date};  // little-endian, as the device's
        std::memcpy(record.data(), words, sizeof words);
        const DeviceVersion v = DecodeDeviceVersion(record);
        EXPECT_EQ((std::array<int, 7>{v.hardwareMajor, v.hardwareMinor, v.biosMajor, v.biosMinor, v.biosYear,
                                      v.biosMonth, v.biosDay}),
                  c.fields) << c.date;
    }
}

TEST(PffsListing, TheLastCompleteLineGivesSectorsAndBytes)
{
    std::string full(PffsListingSize - 24, 'x');
    full.back() = '\n';
    full += "123 sectors (456 bytes)\n";
    const struct { std::string listing; std::int32_t sectors, bytes; } cases[] = {
        {"a.pex   1234\n   97 sectors free (397312 bytes free)\n", 97, 397312},
        {"   5 sectors free (20480 bytes free)\nrest", 5, 20480},
        {"1 a (2 b)\r\n", 1, 2}, {"7 4096 left\n", 7, 4096}, {"8 sectors (\t4096 bytes)\n", 8, 4096},
        {"", 0, 0}, {"12 sectors (6144 bytes)", 0, 0}, {"\n", 0, 0}, {"12\n", 0, 0}, {"   \n", 0, 0},
        {"free: 12 sectors (about 6144 bytes)\n", 0, 0}, {"12 sectors (6144)\n", 12, 0},
        {"12 sectors ( 6144 bytes)\n", 12, 0}, {"40000 sectors (163840000 bytes)\n", 40000, 163840000},
        {"99999999999999999999 sectors (4294967296 bytes)\n", INT_MAX, INT_MAX},
        {"-5 sectors (-99999999999 bytes)\n", -5, INT_MIN}, {full, 123, 456}};
    for (const auto& c : cases) {
        const PffsFreeSpace space = ParsePffsListing(c.listing);
        EXPECT_EQ(space.sectors, c.sectors) << c.listing;
        EXPECT_EQ(space.bytes, c.bytes) << c.listing;
    }
    EXPECT_EQ(PffsFileName(L"C:\\DEV.DIR\\My_Game-2.Pex"), L"my_game-2.pex");
    EXPECT_EQ(PffsFileName(L"GAME.PEX"), L"game.pex");
    EXPECT_EQ(PffsFileName(L"C:\\dev\\"), L"");
}

// Each operation on a thread of its own, in the order they come, and given up
// on DeviceHangMs after its turn came, or after it waited that long for one.
// The live view's thread asks for a capture that takes 3.7 s (1.5 in ismInit,
// 2.2 in the call): it is given up on after 3, and asks for the version. A
// capture asked for at once waits 3 s for its turn and gives up without a
// call; one clicked in the middle of the long one, that takes 1.5 s itself,
// gets its turn before the live view's next question, and is slow, not hung.
TEST(DeviceLayer, OperationsTakeTurnsInTheOrderTheyComeAndGiveUpOnAHungOne)
{
    ts::SimDevice device;
    SetDllDirectoryW(ts::BinPath(L"").c_str());  // the simulated device library
    const std::wstring delaying = L"vtest-delay-" + std::to_wstring(GetCurrentProcessId());
    const sim::Handle delayed = sim::NamedEvent(delaying);
    device.Set(L"delay", L"event", delaying);
    device.Set(L"delay", L"ismInit", L"1500");
    device.Set(L"delay", L"ismLCDCaptureScreen", L"2200");
    ScreenBuffer screen, waiting, clicked;
    DeviceVersion v;
    DeviceResult hung, next, behind;
    std::thread live([&] { hung = CaptureScreen(screen); next = GetDeviceVersion(v); });
    ASSERT_EQ(WaitForSingleObject(delayed.get(), ts::Bound), WAIT_OBJECT_0);
    std::thread early([&] { behind = CaptureScreen(waiting); });
    EXPECT_TRUE(ui::WaitUntil([&] { return device.Calls() == "ismInit\r\nismLCDCaptureScreen 11264\r\n"; }, ts::Bound));
    device.Set(L"delay", L"ismInit", L"0");
    device.Set(L"delay", L"ismLCDCaptureScreen", L"1500");
    EXPECT_TRUE(CaptureScreen(clicked)) << "slow, not hung";
    live.join();
    early.join();
    EXPECT_TRUE(hung.status == DeviceResult::Hung && behind.status == DeviceResult::Hung && next);
    const std::string capture = ts::Bracket({"ismLCDCaptureScreen 11264"});
    EXPECT_EQ(device.Calls(), capture + capture + ts::Bracket({"ismGetVersion 1"}));
}

}  // namespace
