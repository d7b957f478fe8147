#pragma once
// What the end-to-end tests of the image builder and the menu share: a
// project folder, the windows by caption, and one image build through the host.
#include "TestSupport.h"

#include <string>
#include <vector>

namespace e2e {

extern const wchar_t Form6Caption[];
extern const wchar_t MenuCaption[];
extern const wchar_t Building[];
extern const wchar_t Built[];
extern const wchar_t BuildFailed[];

// A folder holding the project file game.sds (written as given, in code page
// 932) and the program game.srf that its first source file names.
class Project {
public:
    explicit Project(const std::wstring& sdsText = DefaultText());
    static std::wstring DefaultText();  // PROJECT-NAME GAME, SOURCE 1 .\game.c

    const std::wstring& dir() const { return dir_.path(); }
    std::wstring file() const { return dir_ / L"game.sds"; }
    std::wstring operator/(const std::wstring& name) const { return dir_ / name; }
    // An entry as the platform reads it; "<absent>" when there is none.
    std::wstring Read(const std::wstring& section, const std::wstring& key) const;
    void Write(const std::wstring& section, const std::wstring& key, const std::wstring& value) const;
    ts::HostOptions Host(const std::wstring& args) const;

private:
    ts::TempDir dir_;
};

// uidriver steps; false (with the driver's complaint printed) when they fail.
bool Wait(const std::wstring& window);
bool Gone(const std::wstring& window);
bool Click(const std::wstring& window, const std::wstring& button);
bool SetEdit(const std::wstring& window, int index, const std::wstring& text);
// The N-th edit box's text, or "<no edit box>".
std::wstring Edit(const std::wstring& window, int index);
// The four boxes of the image build window: title, input, output, icon.
std::vector<std::wstring> Form6Boxes();

// CREATEPEX on the project with "作成" pressed at once; the host's executes.
ts::HostResult BuildImage(const Project& project, const std::wstring& program = L"VORTALIS0.exe",
                          DWORD timeoutMs = 60000);

// The tool's chunks in the executes of one build, between "実行イメージ作成中..."
// and the runner's closing "" and "\r\n", with those checked, and `last`, the
// window's closing line. Every chunk is checked to be 1 to 4094 bytes.
std::vector<std::wstring> ToolChunks(const ts::HostResult& host, const std::wstring& last = Built);

std::wstring Join(const std::vector<std::wstring>& chunks);

// The bytes of one execute string, as the runner read them.
size_t AnsiSize(const std::wstring& text);

}  // namespace e2e
