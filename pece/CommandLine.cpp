// The commands' table, the parsing of a command line against it, and the
// usage texts drawn from it.
#include "CommandLine.h"

#include "PictureFile.h"
#include "PubFnc.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace {
enum Option : unsigned { Json = 1, Scale = 2, Seconds = 4 };
constexpr size_t Many = SIZE_MAX;

// What each file named must be, beyond a file.
enum class FileKind { Any, Picture, Gif };

struct CommandRow {
    const wchar_t* name;
    Command command;
    size_t minFiles, maxFiles;
    unsigned options;
    FileKind kind;
    const wchar_t* synopsis;  // after "pece "
    const wchar_t* summary;
};

const CommandRow Commands[] = {
    {L"info", Command::Info, 0, 0, Json, FileKind::Any, L"info [--json]",
     L"バージョン, BIOSの日付, フラッシュの空き"},
    {L"ls", Command::Ls, 0, 0, 0, FileKind::Any, L"ls", L"フラッシュのファイル一覧 (ライブラリのまま)"},
    {L"put", Command::Put, 1, Many, 0, FileKind::Any, L"put ファイル...",
     L"各ファイルをフラッシュへ転送 (名前は小文字)"},
    {L"run", Command::Run, 1, 1, 0, FileKind::Any, L"run ファイル.srf", L"プログラムをP/ECEへ転送して実行"},
    {L"shot", Command::Shot, 1, 1, Scale, FileKind::Picture, L"shot ファイル [--scale N]",
     L"画面を拡張子の形式で保存 (倍率Nは1-8)"},
    {L"record", Command::Record, 1, 1, Scale | Seconds, FileKind::Gif,
     L"record ファイル.gif [--seconds S] [--scale N]",
     L"画面をGIFに録画 (S秒まで, またはCtrl+Cで)"},
    {L"pex", Command::Pex, 1, 1, 0, FileKind::Any, L"pex プロジェクト.sds",
     L"保存された設定で実行イメージを作成"},
    {L"convert", Command::Convert, 1, Many, 0, FileKind::Any, L"convert ファイル.vtp...",
     L"各VTPファイルを.sdsファイルに変換"},
    {L"doctor", Command::Doctor, 0, 0, 0, FileKind::Any, L"doctor", L"不具合の報告に添える環境の情報"},
};

const wchar_t* const HelpNames[] = {L"--help", L"-h", L"/?"};

const struct {
    const wchar_t* name;
    Option option;
    bool valued;
} Options[] = {{L"--json", Json, false}, {L"--scale", Scale, true}, {L"--seconds", Seconds, true}};

bool IsHelp(const std::wstring& argument)
{
    return std::find(std::begin(HelpNames), std::end(HelpNames), argument) != std::end(HelpNames);
}

const CommandRow* RowOf(Command command)
{
    for (const CommandRow& row : Commands)
        if (row.command == command) return &row;
    return nullptr;
}

bool AllDigits(const std::wstring& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

std::optional<int> ScaleOf(const std::wstring& text)
{
    if (!AllDigits(text) || text.size() > 2) return std::nullopt;
    const int scale = std::stoi(text);
    return scale >= 1 && scale <= 8 ? std::optional<int>(scale) : std::nullopt;
}

// Digits with at most one decimal point ("." whatever the locale), above 0.
std::optional<double> SecondsOf(const std::wstring& text)
{
    const size_t point = text.find(L'.');
    const std::wstring whole = text.substr(0, point);
    const std::wstring part = point == std::wstring::npos ? L"" : text.substr(point + 1);
    if ((!whole.empty() && !AllDigits(whole)) || (!part.empty() && !AllDigits(part)) || whole.size() + part.size() == 0)
        return std::nullopt;
    double seconds = 0;
    for (const wchar_t c : whole) seconds = seconds * 10 + (c - L'0');
    double unit = 1;
    for (const wchar_t c : part) seconds += (c - L'0') * (unit /= 10);
    return seconds > 0 ? std::optional<double>(seconds) : std::nullopt;
}

bool FitsKind(FileKind kind, const std::wstring& file)
{
    const std::optional<PictureType> type = PictureTypeOf(FileExtension(file));
    return kind == FileKind::Any || (kind == FileKind::Picture ? type.has_value() : type == PictureType::Gif);
}

// The command's files and options; the first error found, but --help anywhere wins.
void ParseRest(const CommandRow& row, const std::vector<std::wstring>& arguments, Invocation& invocation)
{
    std::wstring error;
    const auto fail = [&](const std::wstring& text) {
        if (error.empty()) error = text;
    };
    bool options = true;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (options && argument == L"--") {
            options = false;
        } else if (options && IsHelp(argument)) {
            invocation.help = true;
        } else if (options && argument.size() > 1 && argument[0] == L'-') {
            const size_t equals = argument.find(L'=');
            const std::wstring name = argument.substr(0, equals);
            const auto known = std::find_if(std::begin(Options), std::end(Options),
                                            [&](const auto& o) { return name == o.name; });
            if (known == std::end(Options) || !(row.options & known->option) ||
                (!known->valued && equals != std::wstring::npos)) {
                fail(L"不明なオプションです: " + argument);
                continue;
            }
            if (!known->valued) {
                invocation.json = true;
                continue;
            }
            if (equals == std::wstring::npos && i + 1 == arguments.size()) {
                fail(name + L" の値がありません");
                continue;
            }
            const std::wstring value = equals != std::wstring::npos ? argument.substr(equals + 1) : arguments[++i];
            if (known->option == Scale) {
                const std::optional<int> scale = ScaleOf(value);
                if (scale) invocation.scale = *scale;
                else fail(L"--scale には1から8の整数を指定して下さい: " + value);
            } else {
                invocation.seconds = SecondsOf(value);
                if (!invocation.seconds) fail(L"--seconds には正の数を指定して下さい: " + value);
            }
        } else if (argument.empty()) {
            fail(L"空のファイル名は指定できません");
        } else if (!FitsKind(row.kind, argument)) {
            fail((row.kind == FileKind::Gif ? L"ファイル名の拡張子は.gifにして下さい: "
                                            : L"ファイル名の拡張子は.bmp .png .gifのどれかにして下さい: ") + argument);
        } else if (invocation.files.size() == row.maxFiles) {
            fail(L"余分な引数です: " + argument);
        } else {
            invocation.files.push_back(argument);
        }
    }
    if (invocation.files.size() < row.minFiles) fail(L"ファイルを指定して下さい");
    if (!invocation.help) invocation.error = error;
}

// The display width of a text on a console: two columns for each character
// beyond ASCII.
size_t Columns(const std::wstring& text)
{
    size_t columns = 0;
    for (const wchar_t c : text) columns += c < 0x80 ? 1 : 2;
    return columns;
}

std::wstring UsageLine(const std::wstring& synopsis, const std::wstring& summary)
{
    constexpr size_t Column = 34;
    const std::wstring left = L"  pece " + synopsis;
    if (Columns(left) + 1 >= Column) return left + L"\n" + std::wstring(Column, L' ') + summary + L"\n";
    return left + std::wstring(Column - Columns(left), L' ') + summary + L"\n";
}

const wchar_t Conventions[] =
    L"\n"
    L"結果は標準出力へ, メッセージは標準エラーへ出します. コンソールへはUnicodeで\n"
    L"書くので, 日本語はコンソールのコードページによらず表示されます. ファイルや\n"
    L"パイプへはANSIコードページ (日本語のWindowsではシフトJIS) で, 行末をCRLFに\n"
    L"して書きます.\n";

const wchar_t ExitCodes[] =
    L"\n"
    L"終了コード (どのコマンドも同じ):\n"
    L"  0  完了\n"
    L"  1  使い方の誤り (不明なコマンドやオプション, 引数の不足や余分, 値の誤り)\n"
    L"  2  P/ECEが見つからない\n"
    L"  3  pieceif.dllがない, または必要な関数がない\n"
    L"  4  P/ECEの操作が失敗した, またはP/ECEが応答しない\n"
    L"  5  ファイルを読めない, または書けない\n"
    L"  6  PPACK.EXEが失敗した, または変換しなかった";
}

Invocation ParseArguments(const std::vector<std::wstring>& arguments)
{
    Invocation invocation;
    if (arguments.empty()) return invocation;
    const std::wstring& first = arguments[0];
    if (IsHelp(first) || first == L"--version") {
        invocation.command = IsHelp(first) ? Command::Help : Command::Version;
        if (arguments.size() > 1) invocation.error = L"余分な引数です: " + arguments[1];
        return invocation;
    }
    for (const CommandRow& row : Commands) {
        // Typed on Windows, a command's name goes in any case.
        if (CompareStringOrdinal(first.c_str(), -1, row.name, -1, TRUE) == CSTR_EQUAL) {
            invocation.command = row.command;
            ParseRest(row, arguments, invocation);
            return invocation;
        }
    }
    invocation.error = (first.size() > 1 && first[0] == L'-' ? L"不明なオプションです: " : L"不明なコマンドです: ") + first;
    return invocation;
}

std::wstring UsageText()
{
    std::wstring text = L"使い方: pece コマンド [引数...]\n\n";
    for (const CommandRow& row : Commands) text += UsageLine(row.synopsis, row.summary);
    text += UsageLine(L"--help | -h | /?", L"この説明");
    text += UsageLine(L"コマンド --help", L"コマンドの説明");
    text += UsageLine(L"--version", L"バージョン");
    return text + Conventions + ExitCodes;
}

std::wstring CommandUsageText(Command command)
{
    const CommandRow* row = RowOf(command);
    if (!row) return UsageText();
    return L"使い方: pece " + std::wstring(row->synopsis) + L"\n  " + row->summary + L"\n" + Conventions + ExitCodes;
}

std::wstring UsageHint(Command command)
{
    const CommandRow* row = RowOf(command);
    return row ? L"使い方: pece " + std::wstring(row->synopsis) : L"使い方は pece --help で表示します";
}
