// The host stand-in's command line, the child's command line and the log line format.

#include "HostText.h"

#include <cwchar>

const wchar_t HostUsage[] =
    L"usage: hostsim [--project PATH] [--no-service] [--refuse-executes] [--fail-request]\n"
    L"               [--block-request] [--block-executes-from N]\n"
    L"               [--log FILE] [--args TEXT] -- PROGRAM\n"
    L"\n"
    L"Serves DDE service \"Quandrix\", topic \"system\", while PROGRAM runs; takes\n"
    L"the first conversation and no other.\n"
    L"  --project PATH  answer to the request of item \"projectFileName\" (CF_TEXT,\n"
    L"                  ANSI code page); without it the answer is the empty text\n"
    L"  --no-service    register no DDE service: the program's initiate finds nothing\n"
    L"  --refuse-executes  answer every execute \"not processed\" and record none\n"
    L"  --fail-request  answer the request with no data, at once\n"
    L"  --block-request hold the request and never answer it: the program's own\n"
    L"                  timeout ends it\n"
    L"  --block-executes-from N\n"
    L"                  leave the N-th execute (1 = the first) and every later one\n"
    L"                  unacknowledged, so the program's timeout ends each; every\n"
    L"                  execute that reaches hostsim is still recorded\n"
    L"  --log FILE      one JSON string per execute, one per line, UTF-8\n"
    L"  --args TEXT     command line of PROGRAM is \"PROGRAM\" TEXT (one blank between);\n"
    L"                  without it the command line is only the quoted program path\n"
    L"  PROGRAM         path as given; a bare name not found in the current folder is\n"
    L"                  taken from the folder of hostsim.exe\n"
    L"\n"
    L"Every execute text goes to stdout as it arrives, UTF-8, unchanged.\n"
    L"Exit code: the program's; 127 when it cannot be started; 3 when the DDE service\n"
    L"cannot be set up; 2 on bad arguments.\n";

bool ParseHostArgs(const std::vector<std::wstring>& args, HostOptions& options)
{
    size_t i = 0;
    auto value = [&](std::wstring& into) {
        if (i + 1 >= args.size()) return false;
        into = args[++i];
        return true;
    };
    for (; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        if (a == L"--") break;
        if (a == L"--no-service") {
            options.service = false;
        } else if (a == L"--refuse-executes") {
            options.refuseExecutes = true;
        } else if (a == L"--fail-request") {
            options.failRequest = true;
        } else if (a == L"--block-request") {
            options.blockRequest = true;
        } else if (a == L"--block-executes-from") {
            std::wstring number;
            if (!value(number) || number.empty() ||
                number.find_first_not_of(L"0123456789") != std::wstring::npos)
                return false;
            options.blockExecutesFrom = std::wcstoul(number.c_str(), nullptr, 10);
            if (options.blockExecutesFrom == 0) return false;
        } else if (a == L"--project") {
            if (!value(options.project)) return false;
        } else if (a == L"--log") {
            if (!value(options.logFile)) return false;
        } else if (a == L"--args") {
            std::wstring text;
            if (!value(text)) return false;
            options.args = text;
        } else {
            return false;
        }
    }
    // Exactly one program after the "--".
    if (i + 2 != args.size() || args[i + 1].empty()) return false;
    options.program = args[i + 1];
    return true;
}

std::wstring ChildCommandLine(const std::wstring& programPath,
                              const std::optional<std::wstring>& args)
{
    std::wstring line = L"\"" + programPath + L"\"";
    if (args) line += L" " + *args;
    return line;
}

std::wstring JsonString(const std::wstring& text)
{
    std::wstring json = L"\"";
    for (wchar_t c : text) {
        switch (c) {
        case L'"':  json += L"\\\""; break;
        case L'\\': json += L"\\\\"; break;
        case L'\r': json += L"\\r"; break;
        case L'\n': json += L"\\n"; break;
        case L'\t': json += L"\\t"; break;
        default:
            if (c < 0x20) {
                wchar_t code[7];
                // NOLINTNEXTLINE(cert-err33-c): six characters fit
                std::swprintf(code, 7, L"\\u%04x", static_cast<unsigned>(c));
                json += code;
            } else {
                json += c;
            }
        }
    }
    return json + L"\"";
}
