// pex and convert: the image build and the conversion, as the image build
// window and the converter do them, without a window.
#include "Commands.h"
#include "Console.h"
#include "Jobs.h"

#include "ConsoleTool.h"
#include "Conversion.h"
#include "ImageBuild.h"
#include "PubFnc.h"

int Pex(const Invocation& invocation)
{
    const std::optional<std::wstring> project = FileToRead(invocation.files.front());
    if (!project) return FileFailed;
    // The settings as the window would open with them; nothing is written back.
    const ImageSettings s = LoadImageSettings(*project, SplitPath(*project)[0]);
    const std::wstring commandLine = PackerCommandLine(s.title, s.input, s.output, s.icon);
    const ConsoleToolResult run =
        RunTool(L"", commandLine, ToolExitWaitMs, [](const std::wstring& text) { Write(Stream::Out, text); });
    if (run.Succeeded()) return Done;
    const std::wstring failure = ToolFailureText(run, commandLine);
    if (!failure.empty()) WriteLine(Stream::Err, failure);
    WriteLine(Stream::Err, L"実行イメージ作成失敗.");
    return ToolFailed;
}

int Convert(const Invocation& invocation)
{
    return EveryFile(invocation.files, [](const std::wstring& file, const std::wstring& vtp) {
        // No confirmation: naming the file was the user's word.
        if (const VtpCheck check = CheckVtpFile(vtp); check != VtpCheck::Ready) {
            WriteLine(Stream::Err, file + L": " + VtpCheckText(check));
            return ToolFailed;
        }
        // A refused write's own message comes first, on standard error.
        const ConversionResult result = ConvertProject(vtp, SplitPath(vtp)[0]);
        const std::wstring text = ConversionEndText(result);
        if (result.stop == ConversionStop::None) {
            WriteLine(Stream::Out, file + L" -> " + OutputPath(vtp) + L": " + text);
            return Done;
        }
        WriteLine(Stream::Err, file + L": " + text);
        return result.stop == ConversionStop::WriteRefused ? FileFailed : ToolFailed;
    });
}
