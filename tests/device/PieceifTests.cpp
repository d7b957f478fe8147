// What the device interface layer makes of the records and texts the device
// library hands back.
#include "pieceif.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

DeviceVersion Decode(unsigned hardware, unsigned bios, unsigned date)
{
    DeviceVersionRecord record;
    // The library's own part of the record must not leak into the fields.
    record.fill(0xA5);
    const unsigned words[] = {32, hardware, bios, date};
    for (int i = 0; i < 4; ++i) {
        record[i * 2] = static_cast<unsigned char>(words[i] & 0xFF);
        record[i * 2 + 1] = static_cast<unsigned char>(words[i] >> 8);
    }
    return DecodeDeviceVersion(record);
}

TEST(DeviceVersion, VersionWordsAndDateWordDecode)
{
    DeviceVersion v = Decode(0x0102, 0x0114, 0x068F);
    EXPECT_EQ(v.hardwareMajor, 1);
    EXPECT_EQ(v.hardwareMinor, 2);
    EXPECT_EQ(v.biosMajor, 1);
    EXPECT_EQ(v.biosMinor, 0x14);
    EXPECT_EQ(v.biosYear, 3);
    EXPECT_EQ(v.biosMonth, 4);
    EXPECT_EQ(v.biosDay, 15);

    v = Decode(0x010A, 0xFF00, 0x0000);
    EXPECT_EQ(v.hardwareMajor, 1);
    EXPECT_EQ(v.hardwareMinor, 10);
    EXPECT_EQ(v.biosMajor, 255);
    EXPECT_EQ(v.biosMinor, 0);
    EXPECT_EQ(v.biosYear, 0);
    EXPECT_EQ(v.biosMonth, 0);
    EXPECT_EQ(v.biosDay, 0);

    // Every bit of the date word belongs to one field.
    v = Decode(0, 0, 0xFFFF);
    EXPECT_EQ(v.biosYear, 127);
    EXPECT_EQ(v.biosMonth, 15);
    EXPECT_EQ(v.biosDay, 31);
    v = Decode(0, 0, 0x0200 | 0x0020 | 0x0001);
    EXPECT_EQ(v.biosYear, 1);
    EXPECT_EQ(v.biosMonth, 1);
    EXPECT_EQ(v.biosDay, 1);
}

void ExpectFree(const std::string& listing, std::int32_t sectors, std::int32_t bytes)
{
    const PffsFreeSpace space = ParsePffsListing(listing);
    EXPECT_EQ(space.sectors, sectors) << listing;
    EXPECT_EQ(space.bytes, bytes) << listing;
}

TEST(PffsListing, SummaryLineGivesSectorsAndBytes)
{
    ExpectFree("12 sectors (6144 bytes)\n", 12, 6144);
    ExpectFree("game.pex                       1234\n"
               "readme.txt                       10\n"
               "   97 sectors free (397312 bytes free)\n",
               97, 397312);
    // The summary is the last line that ends with a line feed, whatever follows it.
    ExpectFree("   5 sectors free (20480 bytes free)\nrest", 5, 20480);
    ExpectFree("1 a (2 b)\r\n", 1, 2);
    // Without a "(" the bytes follow the first blank.
    ExpectFree("7 4096 left\n", 7, 4096);
    // Blanks and tabs before a number are skipped inside each piece.
    ExpectFree("8 sectors (\t4096 bytes)\n", 8, 4096);
}

TEST(PffsListing, ListingsWithoutASummaryGiveNothing)
{
    ExpectFree("", 0, 0);
    ExpectFree("12 sectors (6144 bytes)", 0, 0);
    ExpectFree("\n", 0, 0);
    ExpectFree("12\n", 0, 0);  // no blank at all
    ExpectFree("   \n", 0, 0);
    // A number is read only where the text begins with one.
    ExpectFree("free: 12 sectors (about 6144 bytes)\n", 0, 0);
    ExpectFree("12 sectors (6144)\n", 12, 0);  // no blank after the bytes
    ExpectFree("12 sectors ( 6144 bytes)\n", 12, 0);
}

TEST(PffsListing, LargeNumbersStayWhole)
{
    // Beyond what 16 bits hold.
    ExpectFree("40000 sectors (163840000 bytes)\n", 40000, 163840000);
    ExpectFree("32768 sectors (134217728 bytes)\n", 32768, 134217728);
    // Too long for 32 bits: held at the limit, never wrapped.
    ExpectFree("99999999999999999999 sectors (4294967296 bytes)\n", INT_MAX, INT_MAX);
    ExpectFree("-5 sectors (-99999999999 bytes)\n", -5, INT_MIN);
}

TEST(PffsListing, AFullBufferIsReadToItsEnd)
{
    // 4096 bytes with the summary at the very end of the buffer.
    const std::string summary = "123 sectors (456 bytes)\n";
    std::string listing(PffsListingSize - summary.size(), 'x');
    listing[listing.size() - 1] = '\n';
    listing += summary;
    ASSERT_EQ(listing.size(), static_cast<size_t>(PffsListingSize));
    ExpectFree(listing, 123, 456);
}

TEST(PffsFileName, LastPartLowerCased)
{
    EXPECT_EQ(PffsFileName(L"C:\\dev\\Game\\GAME.PEX"), L"game.pex");
    EXPECT_EQ(PffsFileName(L"GAME.PEX"), L"game.pex");
    EXPECT_EQ(PffsFileName(L"C:\\DEV.DIR\\My_Game-2.Pex"), L"my_game-2.pex");
    EXPECT_EQ(PffsFileName(L"C:\\dev\\"), L"");
}

TEST(TransferErrorText, SaysTheTransferFailedAndGivesTheCode)
{
    EXPECT_EQ(TransferErrorText(1000), L"転送失敗. エラーコード:1000");
    EXPECT_EQ(TransferErrorText(1007), L"転送失敗. エラーコード:1007");
    EXPECT_EQ(TransferErrorText(-1), L"転送失敗. エラーコード:-1");
}

}  // namespace
