// info, ls, put and run: the device verbs' jobs, in the device tool's words.
#include "Commands.h"
#include "Console.h"
#include "Jobs.h"

#include "Ansi.h"


namespace {
// The number in at least `width` digits, with zeros in front.
std::wstring Digits(int value, size_t width)
{
    const std::wstring digits = std::to_wstring(value);
    return std::wstring(width > digits.size() ? width - digits.size() : 0, L'0') + digits;
}

// The values of INFO as one JSON object: the versions as INFO's lines show
// them, the date in ISO form.
std::wstring InfoJson(const DeviceInfo& info)
{
    const DeviceVersion& v = info.version;
    const std::wstring date = Digits(BiosYear(v), 4) + L"-" + Digits(v.biosMonth, 2) + L"-" + Digits(v.biosDay, 2);
    return L"{\"hardware\": \"" + VersionText(v.hardwareMajor, v.hardwareMinor) + L"\", \"bios\": \"" +
           VersionText(v.biosMajor, v.biosMinor) + L"\", \"bios_date\": \"" + date +
           L"\", \"free_sectors\": " + std::to_wstring(info.space.sectors) + L", \"free_bytes\": " +
           std::to_wstring(info.space.bytes) + L"}";
}

std::wstring ErrorCode(const DeviceResult& result) { return L" エラーコード:" + std::to_wstring(*result); }
}

int Info(const Invocation& invocation)
{
    const DeviceInfo info = ReadDeviceInfo();
    const std::vector<std::wstring> lines = DeviceInfoLines(info);
    const DeviceOutcome outcome = InfoOutcome(info);
    // Without its values, the one line between heading and end says why.
    if (outcome != DeviceOutcome::Done) {
        WriteLine(Stream::Err, lines.front());
        return ExitCodeOf(outcome);
    }
    if (invocation.json) {
        WriteLine(Stream::Out, InfoJson(info));
        return Done;
    }
    WriteLine(Stream::Out, DeviceInfoHeading);
    for (const std::wstring& line : lines) WriteLine(Stream::Out, line);
    return Done;
}

int List()
{
    std::string listing;
    const DeviceResult result = GetPffsListing(listing);
    const DeviceOutcome outcome = OperationOutcome(result);
    if (outcome != DeviceOutcome::Done)
        return DeviceFailure(outcome, L"ファイル一覧を読めませんでした." + ErrorCode(result));
    std::wstring text = FromAnsi(listing);
    if (!text.empty() && text.back() == L'\n') text.pop_back();
    if (!text.empty()) WriteLine(Stream::Out, text);
    return Done;
}

int Put(const Invocation& invocation)
{
    // A device that did not answer is asked nothing more: each file after it
    // would wait the hang limit again for a turn the hung call still holds.
    bool answers = true;
    return EveryFile(invocation.files, [&answers](const std::wstring& file, const std::wstring& path) {
        const DeviceResult result = answers ? WriteFileToPffs(path) : DeviceResult{DeviceResult::Hung};
        const DeviceOutcome outcome = OperationOutcome(result);
        answers = outcome != DeviceOutcome::NoAnswer;
        const int code = ExitCodeOf(outcome);
        const std::wstring text = outcome == DeviceOutcome::NoDevice ? OutcomeText(outcome) : TransferResultText(result);
        WriteLine(code == Done ? Stream::Out : Stream::Err, file + L" -> " + PffsFileName(path) + L": " + text);
        return code;
    });
}

int RunProgram(const Invocation& invocation)
{
    const std::optional<std::wstring> path = FileToRead(invocation.files.front());
    if (!path) return FileFailed;
    const DeviceResult result = WriteSrfToDevice(*path);
    const DeviceOutcome outcome = OperationOutcome(result);
    if (outcome == DeviceOutcome::NoDevice) return DeviceFailure(outcome, L"");
    for (const std::wstring& line : RunResultLines(result))
        WriteLine(outcome == DeviceOutcome::Done ? Stream::Out : Stream::Err, line);
    return ExitCodeOf(outcome);
}
