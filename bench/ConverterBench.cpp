// Figures of the conversion: for VTP files of several sizes, the time of the
// conversion into a new output file and into one that already holds a host
// section and older entries of every list position, which it replaces.
#include "Ansi.h"
#include "Conversion.h"
#include "FileBytes.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {
double Ms(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double TimedConversion(const std::wstring& vtp, const std::wstring& dir)
{
    const auto start = std::chrono::steady_clock::now();
    ConvertProject(vtp, dir);
    return Ms(std::chrono::steady_clock::now() - start);
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        // NOLINTNEXTLINE(cert-err33-c): standard error is the only channel left
        std::fputs("usage: converterbench FOLDER [ENTRIES...]\n", stderr);
        return 2;
    }
    const std::wstring dir = argv[1];
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i) sizes.push_back(static_cast<int>(std::wcstol(argv[i], nullptr, 10)));
    if (sizes.empty()) sizes = {10, 100, 1000, 32767};

    std::printf("%-8s %12s %12s\n", "entries", "new_ms", "existing_ms");
    for (int n : sizes) {
        const std::wstring base = dir + L"\\bench" + std::to_wstring(n);
        std::string vtp = "[MAIN]\r\nPROJECT-NAME=bench\r\n[C]\r\nN=" + std::to_string(n) + "\r\n";
        std::string existing = "[HOST]\r\nKEEP=1\r\n[MAIN]\r\nPROJECT-NAME=old\r\n[SOURCE]\r\nN=0\r\n";
        for (int i = 1; i <= n; ++i) {
            vtp += std::to_string(i) + "=" + ToAnsi(dir) + "\\src\\file" + std::to_string(i) + ".c\r\n";
            existing += std::to_string(i) + "=.\\old\\file" + std::to_string(i) + ".c\r\n";
        }
        WriteFileBytes(base + L".vtp", vtp);
        const double fresh = TimedConversion(base + L".vtp", dir);
        WriteFileBytes(base + L".sds", existing);
        const double update = TimedConversion(base + L".vtp", dir);
        std::printf("%-8d %12.1f %12.1f\n", n, fresh, update);
    }
    return 0;
}
