// The console tool runner and the quoting of its command-line arguments.
#include "ConsoleTool.h"

#include "Ansi.h"
#include "Handle.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace {
// Two bytes of the 4096-byte buffer stay free, as the host's side has always
// been given at most 4094 bytes in one execute.
constexpr DWORD ReadSize = 4094;
constexpr DWORD ZeroReadWaitMs = 10;

// The program a command line starts, as the platform reads its first token.
std::wstring ToolName(const std::wstring& commandLine)
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(commandLine.c_str(), &count);
    if (!arguments) return commandLine;
    std::wstring name = count > 0 ? arguments[0] : L"";
    LocalFree(arguments);
    return name;
}

// The lead bytes of the ANSI code page, asked for once: asked byte by byte,
// the platform would be called for every byte a tool writes.
const std::array<bool, 256>& LeadBytes()
{
    static const std::array<bool, 256> lead = [] {
        std::array<bool, 256> table{};
        CPINFO info = {};
        if (GetCPInfo(CP_ACP, &info))
            for (size_t i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i]; i += 2)
                for (unsigned byte = info.LeadByte[i]; byte <= info.LeadByte[i + 1]; ++byte) table[byte] = true;
        return table;
    }();
    return lead;
}

// The texts of one run, handed in order from the thread that reads the pipe
// to the caller's, which forwards them; no text is the end. A few at most are
// held: an output slower than the tool holds the reader up and, once the pipe
// is full, the tool, as if it read the pipe itself.
class TextQueue {
public:
    void Put(std::optional<std::wstring> text)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        taken_.wait(lock, [this] { return texts_.size() < Depth; });
        texts_.push_back(std::move(text));
        put_.notify_one();
    }

    std::optional<std::wstring> Take()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        put_.wait(lock, [this] { return !texts_.empty(); });
        std::optional<std::wstring> text = std::move(texts_.front());
        texts_.pop_front();
        taken_.notify_one();
        return text;
    }

private:
    static constexpr size_t Depth = 16;
    std::mutex mutex_;
    std::condition_variable put_, taken_;
    std::deque<std::optional<std::wstring>> texts_;
};

// The tool's output until the pipe breaks, one text per read in whole
// characters, then the end.
void ReadOutput(HANDLE pipe, HANDLE process, TextQueue& texts)
{
    char buffer[ReadSize];
    DWORD carried = 0;
    for (;;) {
        DWORD got = 0;
        // A failed read (the pipe broken once the tool's last copy of the
        // write end has gone) is the end of the output.
        if (!ReadFile(pipe, buffer + carried, ReadSize - carried, &got, nullptr)) break;
        if (got == 0) {
            // A write of no bytes wakes the read with nothing; what the tool
            // writes after it, even in its last moments, is still in the pipe
            // after it has ended. The wait keeps repeated empty reads from
            // spinning while it runs.
            WaitForSingleObject(process, ZeroReadWaitMs);
            continue;
        }
        // A zero byte would cut the text short; only it is left out.
        const auto size = static_cast<size_t>(std::remove(buffer, buffer + carried + got, '\0') - buffer);
        // A double-byte character cut by the read waits for its trail byte.
        const size_t whole = WholeCharacterLength({buffer, size});
        if (whole) texts.Put(FromAnsiBuffer(buffer, whole));
        carried = static_cast<DWORD>(size - whole);
        if (carried) buffer[0] = buffer[whole];
    }
    // A lead byte that never got its trail byte is still the tool's output.
    if (carried) texts.Put(FromAnsiBuffer(buffer, carried));
    texts.Put(std::nullopt);
}
}

size_t WholeCharacterLength(std::string_view bytes)
{
    const std::array<bool, 256>& lead = LeadBytes();
    size_t i = 0;
    while (i < bytes.size()) {
        if (!lead[static_cast<unsigned char>(bytes[i])]) {
            ++i;
        } else if (i + 1 < bytes.size()) {
            i += 2;
        } else {
            break;
        }
    }
    return i;
}

std::wstring CommandLineArgument(const std::wstring& text)
{
    if (text.find_first_of(L" \t\"") == std::wstring::npos) return text;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only in front of a quote.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::wstring ToolFailureText(const ConsoleToolResult& result, const std::wstring& commandLine)
{
    if (!result.started)
        return L"起動できませんでした (エラー " + std::to_wstring(result.startError) + L"): " + commandLine;
    return result.ended ? std::wstring() : ToolName(commandLine) + L"が終了しませんでした.";
}

ConsoleToolResult RunTool(const std::wstring& applicationName, const std::wstring& commandLine,
                          DWORD exitWaitMs, const ToolOutput& output)
{
    ConsoleToolResult result;
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    Handle readEnd, writeEnd, errorEnd;
    PROCESS_INFORMATION info = {};

    // The tool gets the write end twice, as its output and as its error. The
    // read end stays ours alone: a copy in the tool would keep the pipe open
    // after the tool's last write and the reads below would never end.
    if (CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, 0) &&
        SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0) &&
        DuplicateHandle(GetCurrentProcess(), writeEnd.get(), GetCurrentProcess(), errorEnd.put(), 0,
                        TRUE, DUPLICATE_SAME_ACCESS)) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        startup.hStdOutput = writeEnd.get();
        startup.hStdError = errorEnd.get();
        const std::string application = ToAnsi(applicationName);
        std::string line = ToAnsi(commandLine);
        result.started = CreateProcessA(application.empty() ? nullptr : application.c_str(), line.data(),
                                        nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info) != FALSE;
    }
    if (!result.started) result.startError = GetLastError();
    Handle process(info.hProcess), thread(info.hThread);
    // From here only the tool's own copies keep the pipe open for writing.
    writeEnd.Close();
    errorEnd.Close();

    if (!result.started) return result;

    // Reading while the tool runs: a tool that writes more than the pipe holds
    // is never held up, and its lines reach the host as they are written. A
    // thread of its own reads, so the tool's next output is read and converted
    // while the last is still on its way to the host.
    TextQueue texts;
    std::thread reader(ReadOutput, readEnd.get(), process.get(), std::ref(texts));
    while (const std::optional<std::wstring> text = texts.Take()) output(*text);
    reader.join();

    // A tool may close its output and go on running; the run does not wait
    // for it for ever, and leaves it running.
    result.ended = WaitForSingleObject(process.get(), exitWaitMs) == WAIT_OBJECT_0;
    if (result.ended) GetExitCodeProcess(process.get(), &result.exitCode);
    return result;
}

ConsoleToolResult RunConsoleTool(const std::wstring& applicationName, const std::wstring& commandLine,
                                 DWORD exitWaitMs, const ToolOutput& output)
{
    const ConsoleToolResult result = RunTool(applicationName, commandLine, exitWaitMs, output);
    const std::wstring failure = ToolFailureText(result, commandLine);
    output(failure.empty() ? failure : failure + L"\r\n");
    output(L"\r\n");
    return result;
}
