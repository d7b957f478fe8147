// Figures of the conversion: for VTP files of several sizes, the time of the
// conversion beside the same number of bare profile reads and writes.
#include "Ansi.h"
#include "Conversion.h"
#include "FileBytes.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {
double Ms(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fputs("usage: converterbench FOLDER\n", stderr);
        return 2;
    }
    const std::wstring dir = argv[1];
    std::printf("%-8s %12s %12s %8s\n", "entries", "convert_ms", "bare_ms", "ratio");
    for (int n : {10, 100, 1000, 5000}) {
        const std::wstring vtp = dir + L"\\bench" + std::to_wstring(n) + L".vtp";
        std::string text = "[MAIN]\r\nPROJECT-NAME=bench\r\n[C]\r\nN=" + std::to_string(n) + "\r\n";
        for (int i = 1; i <= n; ++i)
            text += std::to_string(i) + "=" + ToAnsi(dir) + "\\src\\file" + std::to_string(i) + ".c\r\n";
        WriteFileBytes(vtp, text);

        auto start = std::chrono::steady_clock::now();
        ConvertProject(vtp, dir);
        const double convert = Ms(std::chrono::steady_clock::now() - start);

        // The floor: the same reads and writes, straight to the platform.
        const std::string in = ToAnsi(vtp), out = ToAnsi(dir + L"\\bare" + std::to_wstring(n) + L".sds");
        char buffer[256];
        start = std::chrono::steady_clock::now();
        for (int i = 1; i <= n; ++i) {
            const std::string key = std::to_string(i);
            GetPrivateProfileStringA("C", key.c_str(), "", buffer, sizeof buffer, in.c_str());
            WritePrivateProfileStringA("SOURCE", key.c_str(), buffer, out.c_str());
        }
        const double bare = Ms(std::chrono::steady_clock::now() - start);
        std::printf("%-8d %12.1f %12.1f %8.2f\n", n, convert, bare, bare > 0 ? convert / bare : 0.0);
    }
    return 0;
}
