#include "DeviceTestSupport.h"

namespace dt {

Picture LoadBitmapFile(const std::wstring& path)
{
    Picture picture;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap) return picture;
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    BITMAPINFO want = {};
    want.bmiHeader.biSize = sizeof want.bmiHeader;
    want.bmiHeader.biWidth = info.bmWidth;
    want.bmiHeader.biHeight = -info.bmHeight;
    want.bmiHeader.biPlanes = 1;
    want.bmiHeader.biBitCount = 32;
    want.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data(), &want, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    if (rows != info.bmHeight) return picture;
    for (auto& p : pixels) p &= 0x00FFFFFF;
    picture.width = info.bmWidth;
    picture.height = info.bmHeight;
    picture.pixels = std::move(pixels);
    return picture;
}

std::uint32_t Grey(unsigned char value)
{
    const std::uint32_t levels[] = {0x00FFFFFF, 0x00AAAAAA, 0x00555555, 0x00000000};
    return levels[value > 3 ? 3 : value];
}

SimDevice::SimDevice() : env_(L"PIECE_SIM_DIR", dir_.path()) {}

void SimDevice::Set(const std::wstring& section, const std::wstring& key, const std::wstring& value)
{
    WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), (dir_ / L"device.ini").c_str());
}

std::vector<std::string> SimDevice::Calls() const
{
    const std::string log = ts::ReadBytes(dir_ / L"calls.log");
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find("\r\n", start);
        if (end == std::string::npos) end = log.size();
        lines.push_back(log.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

void SimDevice::ClearCalls() { DeleteFileW((dir_ / L"calls.log").c_str()); }

std::vector<std::string> Bracket(const std::string& call) { return {"ismInit", call, "ismExit"}; }

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Project::Project(const std::wstring& source)
{
    std::wstring text = L"[MAIN]\r\nPROJECT-NAME=GAME\r\nLANGFILE=piece.slf\r\n";
    if (!source.empty()) text += L"[SOURCE]\r\nN=1\r\n1=" + source + L"\r\n";
    ts::WriteBytes(file(), ts::ToCp932(text));
}

std::vector<std::wstring> Lines(std::initializer_list<std::wstring> lines)
{
    std::vector<std::wstring> out;
    for (const auto& line : lines) out.push_back(line + L"\r\n");
    return out;
}

bool WaitForFile(const std::wstring& path, DWORD timeoutMs)
{
    // The file is written in one go; a size that holds for two looks is final.
    const DWORD start = GetTickCount();
    DWORD last = 0;
    for (;;) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        const DWORD size =
            GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
        if (size > 0 && size == last) return true;
        last = size;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(100);
    }
}

}  // namespace dt
