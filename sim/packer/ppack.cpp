// PPACK.EXE stand-in: the image packer that the image build window runs. It
// packs the program and the icon into a container of our own, so that tests
// can see what went in, and it obeys environment variables of its own so that
// the console tool runner can be tested with output of known size and shape.
//
// Command line:  PPACK.EXE -e <input.srf> -o<output.pex> -n<title> [-i<icon.pid>]
//   Arguments are split the usual Windows way, so a quoted text arrives whole:
//   -o"C:\my dir\game.pex" gives the output C:\my dir\game.pex. The input is the
//   argument after a lone -e (none when that begins with '-'); the others are
//   attached to their option. Options are lower case; a repeated option wins
//   over the earlier one; -n without text is an empty title, a -o without text
//   counts as missing. Anything else is an unknown argument.
//
// Container written to the output:
//   "PEXSIM1\n"
//   "title=" title "\n"          title in UTF-8
//   "input=" input "\n"          the input path as given, UTF-8
//   "icon=" icon "\n"            the icon path as given, UTF-8; empty without -i
//   input size, 32-bit little-endian, then the input file's bytes
//   icon size, 32-bit little-endian (0 without -i), then the icon file's bytes
//
// Messages, code page 932, each line ending in CRLF. Standard output:
//   "PPACK: 実行イメージを作成します."
//   "  入力     : <input> (<n> bytes)"
//   "  アイコン : <icon> (<n> bytes)"          only with -i
//   "  タイトル : <title>"
//   "  出力     : <output> (<n> bytes)"
//   "PPACK: 完了."
// Standard error, each followed by exit code 1:
//   "PPACK: 不明な引数です: <argument>"           one line per unknown argument
//   "PPACK: 入力ファイルが指定されていません (-e)"
//   "PPACK: 出力ファイルが指定されていません (-o)"
//   "PPACK: タイトルが指定されていません (-n)"
//   "使い方: PPACK -e <入力.srf> -o<出力.pex> -n<タイトル> [-i<アイコン.pid>]"
//                                         after any of the four above
//   "PPACK: 入力ファイルが見つかりません: <input>"
//   "PPACK: アイコンファイルが見つかりません: <icon>"
//   "PPACK: 出力ファイルに書き込めません: <output>"   no output file is left
//
// Environment variables, all optional, applied in this order:
//   PPACK_SIM_CMDLINE=<file>    write the raw command line into <file> (code
//                               page 932, no line end), then go on.
//   PPACK_SIM_STARTUP=1         write how the packer was started to standard
//                               output: "PPACK: 起動 flags=0x00000101 show=0
//                               console=hidden" (the start-up flags and show
//                               command it was given, in hexadecimal and
//                               decimal; whether a console window of its
//                               shows: visible, or hidden, also when it has
//                               none), then go on.
//   PPACK_SIM_TEXT=<text>       raw mode: write exactly <text> (code page 932)
//                               to standard output in one write; an empty value
//                               writes nothing. Raw mode checks no options and
//                               writes no file; its result is 0.
//                               Without PPACK_SIM_TEXT the packer packs as above.
//   PPACK_SIM_WAIT_EVENT=<name> a named manual-reset event (made by whichever of
//                               the test and the packer opens it first) that the
//                               wait step below waits for: a test sets it once
//                               it has seen what it wanted while the packer
//                               still runs. The wait gives up after 60 s and the
//                               packer goes on as if the event had been set.
//   PPACK_SIM_NUL=1             then write "NUL>", a zero byte and "<NUL\r\n"
//                               to standard output in one write.
//   PPACK_SIM_EXTRA=n           then write exactly n more bytes to standard
//                               output, in blocks of 1 MiB: 64-byte lines
//                               "line 0000001 " + 49 dots + "\r\n", numbered from
//                               1, the last one cut to make up n.
//   PPACK_SIM_CLOSE_OUTPUT=1    then close standard output and standard error:
//                               the reader sees both end while the packer runs
//                               on (until the event below).
//   PPACK_SIM_WAIT_EVENT        (wait step) then wait until that event is set.
//   PPACK_SIM_LAST=<text>       then write no bytes (where the platform wakes a
//                               waiting reader with nothing for it), then <text>
//                               (code page 932) to standard output, and end at once.
//   PPACK_SIM_EXIT=n            exit with n instead of the result.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "SimSupport.h"

namespace {

// The output goes into a pipe or a file: bytes in code page 932, whatever
// the console would think.
void Say(const std::wstring& line)
{
    sim::WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), sim::ToCodePage(sim::CodePage932, line + L"\r\n"));
}

void Complain(const std::wstring& line)
{
    sim::WriteAll(GetStdHandle(STD_ERROR_HANDLE), sim::ToCodePage(sim::CodePage932, line + L"\r\n"));
}

void Write(const std::string& bytes) { sim::WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), bytes); }

std::string Sized(const std::string& bytes)
{
    unsigned long n = static_cast<unsigned long>(bytes.size());
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((n >> (8 * i)) & 0xFF);
    return out + bytes;
}

struct Options {
    std::wstring input, output, title, icon;
    bool hasTitle = false, hasIcon = false;
    std::vector<std::wstring> unknown;
};

Options ParseArguments(int argc, wchar_t** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        std::wstring value = arg.size() > 2 ? arg.substr(2) : std::wstring();
        wchar_t option = arg.size() >= 2 && arg[0] == L'-' ? arg[1] : L'\0';
        if (arg == L"-e") {
            if (i + 1 < argc && argv[i + 1][0] != L'-')
                o.input = argv[++i];
        } else if (option == L'o') {
            o.output = value;
        } else if (option == L'n') {
            o.title = value;
            o.hasTitle = true;
        } else if (option == L'i') {
            o.icon = value;
            o.hasIcon = true;
        } else {
            o.unknown.push_back(arg);
        }
    }
    return o;
}

std::wstring SizeNote(const std::string& bytes) { return L" (" + std::to_wstring(bytes.size()) + L" bytes)"; }

int Pack(int argc, wchar_t** argv)
{
    Options o = ParseArguments(argc, argv);
    bool usable = o.unknown.empty() && !o.input.empty() && !o.output.empty() && o.hasTitle;
    for (const std::wstring& arg : o.unknown)
        Complain(L"PPACK: 不明な引数です: " + arg);
    if (o.input.empty())
        Complain(L"PPACK: 入力ファイルが指定されていません (-e)");
    if (o.output.empty())
        Complain(L"PPACK: 出力ファイルが指定されていません (-o)");
    if (!o.hasTitle)
        Complain(L"PPACK: タイトルが指定されていません (-n)");
    if (!usable) {
        Complain(L"使い方: PPACK -e <入力.srf> -o<出力.pex> -n<タイトル> [-i<アイコン.pid>]");
        return 1;
    }

    Say(L"PPACK: 実行イメージを作成します.");
    std::string program, icon;
    if (!sim::ReadWhole(o.input, program)) {
        Complain(L"PPACK: 入力ファイルが見つかりません: " + o.input);
        return 1;
    }
    Say(L"  入力     : " + o.input + SizeNote(program));
    if (o.hasIcon) {
        if (!sim::ReadWhole(o.icon, icon)) {
            Complain(L"PPACK: アイコンファイルが見つかりません: " + o.icon);
            return 1;
        }
        Say(L"  アイコン : " + o.icon + SizeNote(icon));
    }
    Say(L"  タイトル : " + o.title);

    std::string image = "PEXSIM1\n";
    image += "title=" + sim::ToCodePage(CP_UTF8, o.title) + "\n";
    image += "input=" + sim::ToCodePage(CP_UTF8, o.input) + "\n";
    image += "icon=" + sim::ToCodePage(CP_UTF8, o.icon) + "\n";
    image += Sized(program) + Sized(icon);
    if (!sim::WriteWhole(o.output, image)) {
        Complain(L"PPACK: 出力ファイルに書き込めません: " + o.output);
        return 1;
    }
    Say(L"  出力     : " + o.output + SizeNote(image));
    Say(L"PPACK: 完了.");
    return 0;
}

// A test that waits on a signal must not hang for ever when the signal never
// comes: past this bound the packer goes on as if it had come.
const DWORD WaitBoundMs = 60000;

void WriteExtra(unsigned long long total)
{
    const size_t blockSize = 1 << 20;
    std::string block;
    block.reserve(blockSize + 128);
    unsigned long long number = 1;
    char line[128];
    while (total > 0) {
        block.clear();
        while (block.size() < blockSize && block.size() < total) {
            // NOLINTNEXTLINE(cert-err33-c): the longest line (77 bytes) fits
            std::snprintf(line, sizeof line, "line %07llu %s\r\n", number++,
                          ".................................................");
            block += line;
        }
        size_t n = block.size() < total ? block.size() : static_cast<size_t>(total);
        sim::WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), block.data(), n);
        total -= n;
    }
}

// The reader sees the end of both streams while the process lives on.
void CloseOutput()
{
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE), err = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, nullptr);
    SetStdHandle(STD_ERROR_HANDLE, nullptr);
    if (out)
        CloseHandle(out);
    if (err && err != out)
        CloseHandle(err);
}

// What a console program is told at its start, and what became of its
// console window: a console tool started from a window program must not flash
// a console window on the screen.
std::wstring Startup()
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    wchar_t flags[16];
    // NOLINTNEXTLINE(cert-err33-c): eight digits always fit
    std::swprintf(flags, 16, L"0x%08lx", startup.dwFlags);
    return L"PPACK: 起動 flags=" + std::wstring(flags) + L" show=" + std::to_wstring(startup.wShowWindow) +
           L" console=" + (IsWindowVisible(GetConsoleWindow()) ? L"visible" : L"hidden");
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (const auto path = sim::EnvText(L"PPACK_SIM_CMDLINE"))
        sim::WriteWhole(*path, sim::ToCodePage(sim::CodePage932, GetCommandLineW()));

    if (sim::EnvNumber(L"PPACK_SIM_STARTUP", 0) == 1)
        Say(Startup());

    const std::optional<std::wstring> event = sim::EnvText(L"PPACK_SIM_WAIT_EVENT");
    int result = 0;
    const std::optional<std::wstring> text = sim::EnvText(L"PPACK_SIM_TEXT");
    if (text) {
        Write(sim::ToCodePage(sim::CodePage932, *text));
    } else {
        result = Pack(argc, argv);
    }

    if (sim::EnvNumber(L"PPACK_SIM_NUL", 0) == 1)
        Write(std::string("NUL>\0<NUL\r\n", 11));
    WriteExtra(sim::EnvNumber(L"PPACK_SIM_EXTRA", 0));
    if (sim::EnvNumber(L"PPACK_SIM_CLOSE_OUTPUT", 0) == 1)
        CloseOutput();
    if (event)
        sim::WaitNamedEvent(*event, WaitBoundMs);
    if (const auto last = sim::EnvText(L"PPACK_SIM_LAST")) {
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "", 0, &written, nullptr);
        Write(sim::ToCodePage(sim::CodePage932, *last));
    }
    if (const auto code = sim::EnvText(L"PPACK_SIM_EXIT"))
        result = static_cast<int>(std::wcstol(code->c_str(), nullptr, 10));
    return result;
}
