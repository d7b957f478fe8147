// Both programs as built: what their resources tell Windows, and the common
// controls that Windows gives them for it.
#include "TestSupport.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

namespace {

const std::wstring Programs[] = {L"VORTALIS0", L"VTP2SDS"};
const std::string Architecture = sizeof(void*) == 8 ? "amd64" : "x86";

std::string Resource(HMODULE module, LPCWSTR type)
{
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), type);
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded) return {};
    return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
}

TEST(Programs, ResourcesDeclareTheBuildsArchitectureRightsScalingAndIcon)
{
    for (const std::wstring& program : Programs) {
        const HMODULE module = LoadLibraryExW(ts::BinPath(program + L".exe").c_str(), nullptr,
                                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        const std::string name = ts::Utf8(program);
        ASSERT_TRUE(module) << name;
        const std::string manifest = Resource(module, RT_MANIFEST);
        for (const std::string& part :
             {std::string("name=\"").append(name).append("\" version=\"0.10.0.0\" processorArchitecture=\"").append(Architecture).append("\"/>"),
              std::string("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"),
              std::string("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"),
              std::string("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                          "PerMonitorV2, PerMonitor</dpiAwareness>")})
            EXPECT_TRUE(manifest.find(part) != std::string::npos) << name << ": " << part;
        // The icon group: a 6-byte header, then 14 bytes an image whose first byte is the width.
        const std::string icons = Resource(module, RT_GROUP_ICON);
        std::string sizes;
        for (size_t entry = 6; entry + 14 <= icons.size(); entry += 14)
            sizes += std::to_string(static_cast<unsigned char>(icons[entry])) + " ";
        EXPECT_EQ(sizes, "16 32 48 ") << name;
        FreeLibrary(module);
    }
}

// The major version of the comctl32.dll a running process loaded: that of the
// side-by-side assembly it came from, a folder named "..._6595b64144ccf1df_6.0.
// 2600.2982_..."; 0 when it came from elsewhere.
unsigned CommonControlsVersion(DWORD processId)
{
    const sim::Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    MODULEENTRY32W module = {};
    module.dwSize = sizeof module;
    for (BOOL more = Module32FirstW(snapshot.get(), &module); more; more = Module32NextW(snapshot.get(), &module)) {
        const std::wstring path = module.szExePath, token = L"_6595b64144ccf1df_";
        const size_t assembly = path.find(token);
        if (lstrcmpiW(module.szModule, L"comctl32.dll") == 0 && assembly != std::wstring::npos)
            return std::wcstoul(path.c_str() + assembly + token.size(), nullptr, 10);
    }
    return 0;
}

// Each program started alone waits for the user (the device tool in its
// refusal, the converter in its window) with the controls it was given.
TEST(Programs, BothGetCommonControlsSix)
{
    for (const std::wstring& program : Programs) {
        ts::Process running(ts::Quote(ts::BinPath(program + L".exe")));
        EXPECT_TRUE(ui::WaitUntil([&] { return CommonControlsVersion(running.Id()) == 6; }, ts::Bound))
            << ts::Utf8(program);
    }
}

}  // namespace
