// The programs as built: what their resources tell Windows, among it the
// common controls of version 6, and their icon.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::wstring Programs[] = {L"VORTALIS0", L"VTP2SDS", L"pece"};
const std::string Architecture = sizeof(void*) == 8 ? "amd64" : "x86";

std::string Resource(HMODULE module, LPCWSTR type)
{
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), type);
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded) return {};
    return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
}

TEST(Programs, ManifestsDeclareTheBuildsArchitectureControlsRightsAndScaling)
{
    for (const std::wstring& program : Programs) {
        const HMODULE module = LoadLibraryExW(ts::BinPath(program + L".exe").c_str(), nullptr,
                                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        const std::string name = ts::Utf8(program);
        ASSERT_TRUE(module) << name;
        const std::string manifest = Resource(module, RT_MANIFEST);
        for (const std::string& part :
             {std::string("name=\"").append(name).append("\" version=\"0.10.0.0\" processorArchitecture=\"").append(Architecture).append("\"/>"),
              std::string("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string("publicKeyToken=\"6595b64144ccf1df\""),
              std::string("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"),
              std::string("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"),
              std::string("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                          "PerMonitorV2, PerMonitor</dpiAwareness>")})
            EXPECT_TRUE(manifest.find(part) != std::string::npos) << name << ": " << part;
        EXPECT_FALSE(Resource(module, RT_GROUP_ICON).empty()) << name << ": no first icon";
        FreeLibrary(module);
    }
}

}  // namespace
