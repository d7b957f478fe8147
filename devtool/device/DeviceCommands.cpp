// The device verbs, and the lines they send the host.
#include "DeviceCommands.h"

#include "Host.h"
#include "Ini.h"
#include "PathConv.h"
#include "ProjectFile.h"
#include "PubFnc.h"
#include "Search.h"
#include "pieceif.h"
#include "pubForm.h"

#include <string>

namespace {
void SendLine(const std::wstring& text) { HostMessage(text + L"\r\n"); }

std::wstring Decimal(long value) { return std::to_wstring(value); }

std::wstring ErrorCodeText(int code) { return L"エラーコード:" + Decimal(code); }
}

DeviceResult TransferFile()
{
    const std::wstring path = pubForm::FileGet(
        L"実行イメージファイル(*.pex)|*.pex|すべてのファイル(*.*)|*.*", L"OPEN", L"", nullptr);
    if (path.empty()) return {};

    SendLine(L"P/ECE ファイル転送");
    const DeviceResult result = WriteFileToPffs(path);
    if (!result)
        SendLine(NoCallText(result));
    else
        SendLine(*result == 0 ? L"転送完了." : TransferErrorText(*result));
    SendLine(L"---");
    return result;
}

DeviceResult ShowDeviceInfo()
{
    SendLine(L"P/ECE Infomation");
    DeviceVersion version;
    PffsFreeSpace space;
    const DeviceResult found = GetDeviceVersion(version);
    DeviceResult listed;
    if (!found) {
        SendLine(NoCallText(found));
    } else if (*found == -1) {
        SendLine(L"P/ECEが見つかりません.");
    } else if (listed = GetPffsFreeSpace(space); !listed) {
        SendLine(NoCallText(listed));
    } else {
        // A failed listing leaves the free space at zero.
        SendLine(L"HARD Version:" + Decimal(version.hardwareMajor) + L"." + Decimal(version.hardwareMinor));
        SendLine(L"BIOS Version:" + Decimal(version.biosMajor) + L"." + Decimal(version.biosMinor));
        // The year counts from 2000: year 3 reads 2003, and year 10 must read
        // 2010, not the "20010" of the digits 200 followed by the number.
        SendLine(L"BIOS Date   :" + Decimal(2000 + version.biosYear) + L"/" + Decimal(version.biosMonth) +
                 L"/" + Decimal(version.biosDay));
        SendLine(L"PFFS Free   :" + Decimal(space.sectors) + L" sectors (" + Decimal(space.bytes) +
                 L" bytes) Free");
    }
    SendLine(L"---");
    return found ? listed : found;
}

DeviceResult RunOnDevice()
{
    const std::wstring source = ReadIniValue(Sds::Source, Sds::FirstSource, L"", ProjectFilePath);
    const std::wstring program = AddTrailingBackslash(ProjectDir) + StripExtension(source) + L".srf";
    SendLine(L"P/ECEへデータ転送中...");

    if (SearchFile(program).empty()) {
        SendLine(L"P/ECEへデータ転送失敗.");
        // Unlike every other line, this last text goes without "\r\n": the host
        // has always been sent it so, and what reads the host's output may
        // match it byte for byte.
        HostMessage(program + L"が見つかりませんでした");
        return {};
    }
    const DeviceResult result = WriteSrfToDevice(program);
    if (!result) {
        SendLine(NoCallText(result));
    } else if (*result == 0) {
        SendLine(L"P/ECEへデータ転送完了.");
    } else {
        SendLine(L"P/ECEへデータ転送失敗.");
        SendLine(ErrorCodeText(*result));
    }
    return result;
}
