// The image settings a project file holds, and the packer's command line.
#include "ImageBuild.h"

#include "ConsoleTool.h"
#include "Ini.h"
#include "PathConv.h"
#include "ProjectFile.h"
#include "PubFnc.h"

ImageSettings LoadImageSettings(const std::wstring& projectFile, const std::wstring& projectDir)
{
    ImageSettings settings;
    const std::wstring projectName = ReadIniValue(Sds::Main, Sds::ProjectName, L"", projectFile);
    settings.title = ReadIniValue(Sds::Pex, Sds::Title, projectName, projectFile);

    std::wstring input = ReadIniValue(Sds::Pex, Sds::Input, L"", projectFile);
    if (input.empty())
        input = StripExtension(ReadIniValue(Sds::Source, Sds::FirstSource, L"", projectFile)) + L".srf";
    settings.input = ResolveStoredPath(input, projectDir);

    const std::wstring output = ReadIniValue(Sds::Pex, Sds::Output, L"", projectFile);
    settings.output = output.empty() ? CanonicalPath(StripExtension(settings.input) + L".pex")
                                     : ResolveStoredPath(output, projectDir);

    const std::wstring icon = ReadIniValue(Sds::Pex, Sds::Icon, L"", projectFile);
    if (!icon.empty()) settings.icon = ResolveStoredPath(icon, projectDir);
    return settings;
}

std::wstring PackerCommandLine(const std::wstring& title, const std::wstring& input,
                               const std::wstring& output, const std::wstring& icon)
{
    std::wstring line = L"PPACK.EXE -e " + CommandLineArgument(input) + L" -o" +
                        CommandLineArgument(output) + L" -n" + CommandLineArgument(title);
    if (!icon.empty()) line += L" -i" + CommandLineArgument(icon);
    return line;
}
