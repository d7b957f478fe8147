// The device verbs, and the lines they send the host.
#include "DeviceCommands.h"

#include "DeviceReports.h"
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
}

DeviceResult TransferFile()
{
    const std::wstring path = pubForm::FileGet(
        L"実行イメージファイル(*.pex)|*.pex|すべてのファイル(*.*)|*.*", L"OPEN", L"", nullptr);
    if (path.empty()) return {};

    SendLine(L"P/ECE ファイル転送");
    const DeviceResult result = WriteFileToPffs(path);
    SendLine(TransferResultText(result));
    SendLine(L"---");
    return result;
}

DeviceResult ShowDeviceInfo()
{
    SendLine(DeviceInfoHeading);
    const DeviceInfo info = ReadDeviceInfo();
    for (const std::wstring& line : DeviceInfoLines(info)) SendLine(line);
    return info.found ? info.listed : info.found;
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
    for (const std::wstring& line : RunResultLines(result)) SendLine(line);
    return result;
}
