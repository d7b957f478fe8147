// The device jobs' findings and the words they are reported in.
#include "DeviceReports.h"

namespace {
std::wstring Decimal(long value) { return std::to_wstring(value); }

DeviceOutcome CallOutcome(const DeviceResult& result)
{
    switch (result.status) {
    case DeviceResult::Answered: break;
    case DeviceResult::NoLibrary: return DeviceOutcome::NoLibrary;
    case DeviceResult::Hung: return DeviceOutcome::NoAnswer;
    }
    return DeviceOutcome::Done;
}
}

std::wstring OutcomeText(DeviceOutcome outcome)
{
    switch (outcome) {
    case DeviceOutcome::Done:
    case DeviceOutcome::Failed: break;
    case DeviceOutcome::NoDevice: return L"P/ECEが見つかりません.";
    case DeviceOutcome::NoLibrary: return NoCallText({DeviceResult::NoLibrary});
    case DeviceOutcome::NoAnswer: return NoCallText({DeviceResult::Hung});
    }
    return {};
}

DeviceInfo ReadDeviceInfo()
{
    DeviceInfo info;
    info.found = GetDeviceVersion(info.version);
    if (info.found && *info.found != -1) info.listed = GetPffsFreeSpace(info.space);
    return info;
}

DeviceOutcome InfoOutcome(const DeviceInfo& info)
{
    if (info.found && *info.found == -1) return DeviceOutcome::NoDevice;
    const DeviceOutcome found = CallOutcome(info.found);
    return found != DeviceOutcome::Done ? found : CallOutcome(info.listed);
}

std::wstring VersionText(unsigned major, unsigned minor) { return Decimal(major) + L"." + Decimal(minor); }

int BiosYear(const DeviceVersion& version) { return 2000 + version.biosYear; }

const wchar_t DeviceInfoHeading[] = L"P/ECE Infomation";

std::vector<std::wstring> DeviceInfoLines(const DeviceInfo& info)
{
    std::vector<std::wstring> lines;
    if (!info.found) {
        lines.push_back(NoCallText(info.found));
    } else if (*info.found == -1) {
        lines.push_back(OutcomeText(DeviceOutcome::NoDevice));
    } else if (!info.listed) {
        lines.push_back(NoCallText(info.listed));
    } else {
        const DeviceVersion& v = info.version;
        lines.push_back(L"HARD Version:" + VersionText(v.hardwareMajor, v.hardwareMinor));
        lines.push_back(L"BIOS Version:" + VersionText(v.biosMajor, v.biosMinor));
        // Year 3 reads 2003, and year 10 must read 2010, not the "20010" of
        // the digits 200 followed by the number.
        lines.push_back(L"BIOS Date   :" + Decimal(BiosYear(v)) + L"/" + Decimal(v.biosMonth) + L"/" +
                        Decimal(v.biosDay));
        lines.push_back(L"PFFS Free   :" + Decimal(info.space.sectors) + L" sectors (" +
                        Decimal(info.space.bytes) + L" bytes) Free");
    }
    lines.push_back(L"---");
    return lines;
}

DeviceOutcome AskPresence()
{
    DeviceVersion version;
    const DeviceResult found = GetDeviceVersion(version);
    return found && *found == -1 ? DeviceOutcome::NoDevice : CallOutcome(found);
}

DeviceOutcome OperationOutcome(const DeviceResult& result)
{
    const DeviceOutcome outcome = CaptureOutcome(result);
    return outcome == DeviceOutcome::Done && *result != 0 ? DeviceOutcome::Failed : outcome;
}

DeviceOutcome CaptureOutcome(const DeviceResult& result)
{
    return !result || *result == 0 ? CallOutcome(result) : AskPresence();
}

std::wstring TransferResultText(const DeviceResult& result)
{
    if (!result) return NoCallText(result);
    return *result == 0 ? L"転送完了." : TransferErrorText(*result);
}

std::vector<std::wstring> RunResultLines(const DeviceResult& result)
{
    if (!result) return {NoCallText(result)};
    if (*result == 0) return {L"P/ECEへデータ転送完了."};
    return {L"P/ECEへデータ転送失敗.", L"エラーコード:" + Decimal(*result)};
}
