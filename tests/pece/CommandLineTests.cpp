// pece's command line: every kind of line, good or a usage error, as one table.
#include "CommandLine.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// What a line came to, in one text: the command, its files, the options
// that differ from their defaults, and the error.
std::wstring Seen(const Invocation& i)
{
    const wchar_t* const names[] = {L"none", L"help", L"version", L"info", L"ls", L"put", L"run",
                                    L"shot", L"record", L"pex", L"convert", L"doctor"};
    std::wstring seen = names[static_cast<int>(i.command)];
    for (const std::wstring& file : i.files) seen += L" " + file;
    std::wostringstream seconds;
    if (i.seconds) seconds << L" seconds=" << *i.seconds;
    seen += std::wstring(i.json ? L" json" : L"") + (i.scale != 1 ? L" scale=" + std::to_wstring(i.scale) : L"") +
            seconds.str() + (i.help ? L" help" : L"");
    return i.error.empty() ? seen : seen + L" / " + i.error;
}

TEST(CommandLine, EachLineGivesItsCommandOrWhatIsWrongWithIt)
{
    const wchar_t* scale = L" / --scale には1から8の整数を指定して下さい: ";
    const wchar_t* seconds = L" / --seconds には正の数を指定して下さい: ";
    const struct { std::vector<std::wstring> arguments; std::wstring seen; } cases[] = {
        {{}, L"none"}, {{L"--help"}, L"help"}, {{L"-h"}, L"help"}, {{L"/?"}, L"help"},
        {{L"--version"}, L"version"}, {{L"--help", L"info"}, L"help / 余分な引数です: info"},
        {{L"info"}, L"info"}, {{L"Info", L"--json"}, L"info json"},
        {{L"info", L"--json=yes"}, L"info / 不明なオプションです: --json=yes"},
        {{L"info", L"--scale", L"2"}, L"info / 不明なオプションです: --scale"},
        {{L"ls", L"x"}, L"ls / 余分な引数です: x"}, {{L"doctor", L"-v"}, L"doctor / 不明なオプションです: -v"},
        {{L"put"}, L"put / ファイルを指定して下さい"}, {{L"put", L"a.pex", L"B.PEX"}, L"put a.pex B.PEX"},
        {{L"put", L"--", L"-a", L"--help"}, L"put -a --help"}, {{L"put", L"-"}, L"put -"},
        {{L"put", L""}, L"put / 空のファイル名は指定できません"}, {{L"run", L"a.srf", L"b.srf"}, L"run a.srf / 余分な引数です: b.srf"},
        {{L"shot", L"a.PNG", L"--scale", L"8"}, L"shot a.PNG scale=8"},
        {{L"shot", L"--scale=2", L"d\\a.b.bmp"}, L"shot d\\a.b.bmp scale=2"},
        {{L"shot", L"a.gif", L"--scale", L"0"}, L"shot a.gif" + (scale + std::wstring(L"0"))},
        {{L"shot", L"a.gif", L"--scale=9"}, L"shot a.gif" + (scale + std::wstring(L"9"))},
        {{L"shot", L"a.gif", L"--scale", L"1.5"}, L"shot a.gif" + (scale + std::wstring(L"1.5"))},
        {{L"shot", L"a.gif", L"--scale"}, L"shot a.gif / --scale の値がありません"},
        {{L"shot", L"a.jpg"}, L"shot / ファイル名の拡張子は.bmp .png .gifのどれかにして下さい: a.jpg"},
        {{L"shot", L"png"}, L"shot / ファイル名の拡張子は.bmp .png .gifのどれかにして下さい: png"},
        {{L"shot", L"a.png", L"--seconds", L"1"}, L"shot a.png / 不明なオプションです: --seconds"},
        {{L"shot", L"--bogus", L"-h"}, L"shot help"}, {{L"shot", L"/?"}, L"shot help"},
        {{L"record", L"a.png"}, L"record / ファイル名の拡張子は.gifにして下さい: a.png"},
        {{L"record", L"a.GIF", L"--seconds", L"2.5", L"--scale", L"3"}, L"record a.GIF scale=3 seconds=2.5"},
        {{L"record", L"a.gif", L"--seconds=.5"}, L"record a.gif seconds=0.5"},
        {{L"record", L"a.gif", L"--seconds", L"0"}, L"record a.gif" + (seconds + std::wstring(L"0"))},
        {{L"record", L"a.gif", L"--seconds", L"-1"}, L"record a.gif" + (seconds + std::wstring(L"-1"))},
        {{L"record", L"a.gif", L"--seconds", L"1e3"}, L"record a.gif" + (seconds + std::wstring(L"1e3"))},
        {{L"record", L"a.gif", L"--seconds", L"."}, L"record a.gif" + (seconds + std::wstring(L"."))},
        {{L"pex"}, L"pex / ファイルを指定して下さい"}, {{L"convert", L"a.vtp", L"b.vtp"}, L"convert a.vtp b.vtp"},
        {{L"bogus"}, L"none / 不明なコマンドです: bogus"}, {{L"--bogus"}, L"none / 不明なオプションです: --bogus"},
    };
    for (const auto& c : cases) EXPECT_EQ(Seen(ParseArguments(c.arguments)), c.seen) << ts::Utf8(c.seen);
}

}  // namespace
