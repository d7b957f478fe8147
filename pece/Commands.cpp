// The dispatch of a command line to its job, and the checks and words the jobs share.
#include "Commands.h"

#include "Ansi.h"
#include "Console.h"
#include "Jobs.h"
#include "PubFnc.h"

#include <windows.h>

namespace {
// What follows the name of a file in a message about it.
std::optional<std::wstring> Refuse(const std::wstring& text, const std::wstring& argument)
{
    WriteLine(Stream::Err, text + L": " + argument);
    return std::nullopt;
}

// The full path, which must fit the ANSI code page, as every file name
// crosses into it: a character it lacks would name another file.
std::optional<std::wstring> FullPath(const std::wstring& argument)
{
    const DWORD size = GetFullPathNameW(argument.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    if (size == 0 || GetFullPathNameW(argument.c_str(), size, full.data(), nullptr) >= size)
        return Refuse(L"パスとして読めません", argument);
    full.resize(size - 1);
    if (!FitsAnsi(full)) return Refuse(L"ANSIコードページにない文字がパスにあるので使えません", argument);
    return full;
}

const DWORD Missing = INVALID_FILE_ATTRIBUTES;
}

std::optional<std::wstring> FileToRead(const std::wstring& argument)
{
    std::optional<std::wstring> path = FullPath(argument);
    if (!path) return path;
    const DWORD attributes = GetFileAttributesW(path->c_str());
    if (attributes == Missing) return Refuse(L"ファイルが見つかりません", argument);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Refuse(L"ファイルではなくフォルダです", argument);
    return path;
}

std::optional<std::wstring> FileToWrite(const std::wstring& argument)
{
    std::optional<std::wstring> path = FullPath(argument);
    if (!path) return path;
    const DWORD folder = GetFileAttributesW(path->substr(0, path->rfind(L'\\') + 1).c_str());
    if (folder == Missing || !(folder & FILE_ATTRIBUTE_DIRECTORY))
        return Refuse(L"保存先のフォルダが見つかりません", argument);
    const DWORD attributes = GetFileAttributesW(path->c_str());
    if (attributes != Missing && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Refuse(L"ファイルではなくフォルダです", argument);
    if (attributes != Missing && (attributes & FILE_ATTRIBUTE_READONLY))
        return Refuse(L"読み取り専用のファイルなので書き込めません", argument);
    return path;
}

int EveryFile(const std::vector<std::wstring>& files,
              const std::function<int(const std::wstring& file, const std::wstring& path)>& job)
{
    int first = Done;
    for (const std::wstring& file : files) {
        const std::optional<std::wstring> path = FileToRead(file);
        const int code = path ? job(file, *path) : FileFailed;
        if (first == Done) first = code;
    }
    return first;
}

int ExitCodeOf(DeviceOutcome outcome)
{
    switch (outcome) {
    case DeviceOutcome::Done: return Done;
    case DeviceOutcome::NoDevice: return NoDeviceFound;
    case DeviceOutcome::NoLibrary: return NoDeviceLibrary;
    case DeviceOutcome::NoAnswer:
    case DeviceOutcome::Failed: break;
    }
    return DeviceFailed;
}

int DeviceFailure(DeviceOutcome outcome, const std::wstring& failed)
{
    WriteLine(Stream::Err, outcome == DeviceOutcome::Failed ? failed : OutcomeText(outcome));
    return ExitCodeOf(outcome);
}

int RunCommand(const Invocation& invocation)
{
    if (!invocation.error.empty()) {
        WriteLine(Stream::Err, L"pece: " + invocation.error);
        WriteLine(Stream::Err, UsageHint(invocation.command));
        return UsageError;
    }
    if (invocation.help) {
        WriteLine(Stream::Out, CommandUsageText(invocation.command));
        return Done;
    }
    switch (invocation.command) {
    case Command::None: WriteLine(Stream::Err, UsageText()); return UsageError;
    case Command::Help: WriteLine(Stream::Out, UsageText()); return Done;
    case Command::Version: WriteLine(Stream::Out, VersionCaptionText()); return Done;
    case Command::Info: return Info(invocation);
    case Command::Ls: return List();
    case Command::Put: return Put(invocation);
    case Command::Run: return RunProgram(invocation);
    case Command::Shot: return Shot(invocation);
    case Command::Record: return Record(invocation);
    case Command::Pex: return Pex(invocation);
    case Command::Convert: return Convert(invocation);
    case Command::Doctor: return Doctor();
    }
    return UsageError;
}
