// The packer's command line, and the way its texts are quoted.
#include "ConsoleTool.h"
#include "Form6.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What the usual parsing of a program's command line gives back.
std::vector<std::wstring> Parse(const std::wstring& line)
{
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(line.c_str(), &count);
    std::vector<std::wstring> args(argv, argv + count);
    LocalFree(argv);
    return args;
}

TEST(PackerCommandLine, TextsWithoutBlanksGoInAsTheyAre)
{
    EXPECT_EQ(PackerCommandLine(L"GAME", L"C:\\dev\\game.srf", L"C:\\dev\\game.pex", L"C:\\dev\\game.pid"),
              L"PPACK.EXE -e C:\\dev\\game.srf -oC:\\dev\\game.pex -nGAME -iC:\\dev\\game.pid");
    EXPECT_EQ(PackerCommandLine(L"GAME", L"C:\\dev\\game.srf", L"C:\\dev\\game.pex", L""),
              L"PPACK.EXE -e C:\\dev\\game.srf -oC:\\dev\\game.pex -nGAME");
    // Nothing is checked or added: empty texts leave their options bare, and
    // a quote, even without blanks, makes a text quoted.
    EXPECT_EQ(PackerCommandLine(L"", L"", L"", L""), L"PPACK.EXE -e  -o -n");
    EXPECT_EQ(PackerCommandLine(L"a\"b\\", L"ゲーム.srf", L"x.pex", L""),
              L"PPACK.EXE -e ゲーム.srf -ox.pex -n\"a\\\"b\\\\\"");
}

TEST(PackerCommandLine, TextsWithBlanksOrTabsAreQuotedAndArriveWhole)
{
    const std::wstring line = PackerCommandLine(L"MY GAME", L"C:\\my dir\\game.srf",
                                                L"C:\\my dir\\game.pex", L"C:\\my\tdir\\game.pid");
    EXPECT_EQ(line, L"PPACK.EXE -e \"C:\\my dir\\game.srf\" -o\"C:\\my dir\\game.pex\" -n\"MY GAME\""
                    L" -i\"C:\\my\tdir\\game.pid\"");
    EXPECT_EQ(Parse(line), (std::vector<std::wstring>{L"PPACK.EXE", L"-e", L"C:\\my dir\\game.srf",
                                                      L"-oC:\\my dir\\game.pex", L"-nMY GAME",
                                                      L"-iC:\\my\tdir\\game.pid"}));
}

TEST(CommandLineArgument, QuotesAndBackslashesInsideQuotedTextSurviveTheParsing)
{
    for (const std::wstring text : {L"say \"hi\"", L"ends in backslash\\", L"two\\\\ \\\\", L"\\\" x",
                                    L" ", L"\t", L"a  b", L"タイトル 付き"}) {
        const std::vector<std::wstring> args = Parse(L"p.exe -n" + CommandLineArgument(text));
        ASSERT_EQ(args.size(), 2u) << text;
        EXPECT_EQ(args[1], L"-n" + text);
    }
    EXPECT_EQ(CommandLineArgument(L"C:\\my dir\\"), L"\"C:\\my dir\\\\\"");
    EXPECT_EQ(CommandLineArgument(L"plain\\\"text"), L"\"plain\\\\\\\"text\"");
}

}  // namespace
