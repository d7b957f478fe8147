// doctor: what a bug report from a user's Windows needs, as plain lines.
#include "Commands.h"
#include "Console.h"
#include "Jobs.h"

#include "LazyProc.h"
#include "PubFnc.h"
#include "SearchOrder.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {
// The version the system really has: GetVersionEx answers what the manifest
// claims to know.
using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW* version);
LazyProc<RtlGetVersionFn> rtlGetVersion("ntdll.dll", "RtlGetVersion");
// Only Wine's own ntdll has it.
using WineGetVersionFn = const char*(CDECL*)();
LazyProc<WineGetVersionFn> wineGetVersion("ntdll.dll", "wine_get_version");

std::wstring Decimal(unsigned long value) { return std::to_wstring(value); }

std::wstring ProgramFolder()
{
    wchar_t exe[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH * 4);
    std::wstring folder = exe;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring VersionText(const std::wstring& path)
{
    const std::optional<FileVersion> version = ReadFileVersion(path);
    if (!version) return L"バージョン情報なし";
    const unsigned* p = version->parts;
    return L"バージョン " + Decimal(p[0]) + L"." + Decimal(p[1]) + L"." + Decimal(p[2]) + L"." + Decimal(p[3]);
}

// A file as found: its full path, size and file version; or that it is not there.
std::wstring FileText(const std::wstring& path, const std::wstring& note = L"")
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return L"見つかりません";
    const unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return path + L" (" + std::to_wstring(size) + L" バイト, " + VersionText(path) + L")" + note;
}

std::wstring RegistryText(const wchar_t* name)
{
    wchar_t text[256] = {};
    DWORD size = sizeof text;
    return RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", name,
                        RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS
               ? text
               : L"";
}

std::wstring WindowsText()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    const RtlGetVersionFn get = rtlGetVersion.get();
    if (!get || get(&version) != 0) return L"不明";
    std::wstring text = Decimal(version.dwMajorVersion) + L"." + Decimal(version.dwMinorVersion) + L"." +
                        Decimal(version.dwBuildNumber);
    DWORD revision = 0, size = sizeof revision;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"UBR",
                     RRF_RT_REG_DWORD, nullptr, &revision, &size) == ERROR_SUCCESS)
        text += L"." + Decimal(revision);
    std::wstring product = RegistryText(L"ProductName");
    if (const std::wstring release = RegistryText(L"DisplayVersion"); !release.empty()) product += L" " + release;
    if (!product.empty()) text += L" (" + product + L")";
    if (const WineGetVersionFn wine = wineGetVersion.get()) {
        const char* wineVersion = wine();
        text += L", Wine " + std::wstring(wineVersion, wineVersion + std::strlen(wineVersion));
    }
    return text;
}

std::wstring DpiText()
{
    const HDC screen = GetDC(nullptr);
    if (!screen) return L"不明";
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return Decimal(static_cast<unsigned long>(dpi));
}

// The device library the device layer loaded; else where it lies unloadable,
// in the folders it is looked for in.
std::wstring DeviceLibraryText()
{
    if (const HMODULE loaded = GetModuleHandleW(L"pieceif.dll")) {
        wchar_t path[MAX_PATH * 4] = {};
        GetModuleFileNameW(loaded, path, MAX_PATH * 4);
        return FileText(path);
    }
    wchar_t system[MAX_PATH + 1] = {}, found[MAX_PATH * 4] = {};
    GetSystemDirectoryW(system, MAX_PATH + 1);
    const std::wstring folders = ProgramFolder() + L";" + system;
    if (!SearchPathW(folders.c_str(), L"pieceif.dll", nullptr, MAX_PATH * 4, found, nullptr)) return L"見つかりません";
    return FileText(found, L" 読み込めません");
}
}

int Doctor()
{
    const DeviceInfo info = ReadDeviceInfo();
    const std::wstring folder = ProgramFolder();
    std::vector<std::wstring> lines = {
        VersionCaptionText(),
        L"VORTALIS0.exe: " + FileText(folder + L"VORTALIS0.exe"),
        L"VTP2SDS.exe: " + FileText(folder + L"VTP2SDS.exe"),
        L"Windows: " + WindowsText(),
        L"コードページ: ANSI " + Decimal(GetACP()) + L", OEM " + Decimal(GetOEMCP()) + L", コンソール入力 " +
            Decimal(GetConsoleCP()) + L", コンソール出力 " + Decimal(GetConsoleOutputCP()),
        L"DPI: " + DpiText(),
        L"pieceif.dll: " + DeviceLibraryText(),
        L"PPACK.EXE: " + FileText(FindProgram(L"PPACK.EXE")),
    };
    const std::vector<std::wstring> device = DeviceInfoLines(info);
    if (InfoOutcome(info) != DeviceOutcome::Done) {
        lines.push_back(L"P/ECE: " + device.front());
    } else {
        lines.push_back(L"P/ECE:");
        for (size_t i = 0; i + 1 < device.size(); ++i) lines.push_back(L"  " + device[i]);
    }
    for (const std::wstring& line : lines) WriteLine(Stream::Out, line);
    return Done;
}
