#include "Conversion.h"

#include "Handle.h"
#include "Ini.h"
#include "ProjectFile.h"
#include "PubFnc.h"

#include <windows.h>

#include <optional>

namespace {
struct FileIdentity {
    DWORD volume, indexHigh, indexLow;
};

std::optional<FileIdentity> IdentityOf(const std::string& path)
{
    const Handle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b)
{
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_EQUAL;
}
}  // namespace

std::wstring OutputPath(const std::wstring& vtpPath)
{
    const size_t name = vtpPath.find_last_of(L"\\/") + 1;  // 0 when there is no folder
    return vtpPath.substr(0, name) + StripExtension(vtpPath.substr(name)) + L".sds";
}

bool OutputIsInput(const std::wstring& vtpPath)
{
    const std::string input = ProfilePath(vtpPath), output = ProfilePath(OutputPath(vtpPath));
    if (input.empty() || output.empty()) return false;
    if (SameNameIgnoringCase(input, output)) return true;
    const std::optional<FileIdentity> a = IdentityOf(input), b = IdentityOf(output);
    return a && b && a->volume == b->volume && a->indexHigh == b->indexHigh &&
           a->indexLow == b->indexLow;
}

VtpCheck CheckVtpFile(const std::wstring& vtpPath)
{
    if (vtpPath.empty()) return VtpCheck::NoPath;
    if (ReadIniValue(Vtp::Main, Vtp::ProjectName, L"", vtpPath).empty()) return VtpCheck::NotProject;
    if (!(ReadNumber(ReadIniValue(Vtp::Main, Vtp::Version, Vtp::VersionDefault, vtpPath)) <
          Vtp::FirstUnconvertedVersion))
        return VtpCheck::TooNew;
    // A host project file chosen as input would be read and written at once.
    return OutputIsInput(vtpPath) ? VtpCheck::OutputIsInput : VtpCheck::Ready;
}

std::wstring VtpCheckText(VtpCheck check)
{
    switch (check) {
    case VtpCheck::Ready: break;
    case VtpCheck::NoPath: return L"変換するファイルを指定して下さい";
    case VtpCheck::NotProject: return L"Vortalisのプロジェクトファイルではありません";
    case VtpCheck::TooNew: return L"0.35以降のVTPファイルなので変換しませんでした";
    case VtpCheck::OutputIsInput: return L"変換先のファイルが変換元と同じファイルなので変換しませんでした";
    }
    return {};
}

ConversionResult ConvertProject(const std::wstring& vtpPath, const std::wstring& vtpDir, HWND owner)
{
    const std::wstring sds = OutputPath(vtpPath);
    ConversionResult refused = {ConversionStop::WriteRefused, L""};
    // Each section is read once, before anything is written, and each section
    // of the output written once, after its last change. The first write
    // creates the output when it does not exist yet.
    const IniSections in(vtpPath, {Vtp::Main, Vtp::Sources, Vtp::Files, Vtp::Pex});
    IniSections out(sds, {Sds::Main, Sds::Source, Sds::Other, Sds::Pex}, owner);

    if (!out.Set(Sds::Main, Sds::ProjectName, in.Value(Vtp::Main, Vtp::ProjectName, L"")) ||
        !out.Set(Sds::Main, Sds::LangFile, Sds::LangFileValue) || !out.Write(Sds::Main))
        return refused;

    const struct { const wchar_t* from; const wchar_t* to; } lists[] = {
        {Vtp::Sources, Sds::Source}, {Vtp::Files, Sds::Other}};
    for (const auto& list : lists) {
        const std::optional<short> count = ReadCount(in.Value(list.from, Vtp::Count, Vtp::CountDefault));
        if (!count) return {ConversionStop::CountOutOfRange, list.from};
        if (!out.Set(list.to, Sds::Count, FormatNumber(*count))) return refused;
        // A missing entry, or one with no relative form, writes the empty
        // text and so removes that position from the output.
        for (int i = 1; i <= *count; ++i) {
            const std::wstring key = FormatNumber(i);
            if (!out.Set(list.to, key, MakeStoredPath(in.Value(list.from, key, L""), vtpDir)))
                return refused;
        }
        if (!out.Write(list.to)) return refused;
    }

    for (const wchar_t* key : Vtp::PexKeys) {
        const std::wstring path = in.Value(Vtp::Pex, key, L"");
        if (!path.empty() && !out.Set(Sds::Pex, key, MakeStoredPath(path, vtpDir))) return refused;
    }
    return out.Write(Sds::Pex) ? ConversionResult{} : refused;
}

std::wstring ConversionEndText(const ConversionResult& result)
{
    switch (result.stop) {
    case ConversionStop::None: break;
    case ConversionStop::WriteRefused: return L"書き込みに失敗したので変換を中止しました";
    case ConversionStop::CountOutOfRange:
        return L"[" + result.section + L"] の N が -32768 から 32767 の範囲にないので変換を中止しました";
    }
    return L"変換が完了しました";
}
