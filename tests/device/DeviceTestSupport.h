#pragma once
// What the device tests share: a simulated device in a scratch folder, a
// project beside it, and bitmap files read back through the platform.
#include "TestSupport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dt {

// A bitmap read back as rows from the top, each pixel 0x00RRGGBB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Loaded by the platform's bitmap loader; an empty picture when it refuses the file.
Picture LoadBitmapFile(const std::wstring& path);

// The colour the capture window gives a device pixel value.
std::uint32_t Grey(unsigned char value);

// The simulated device: PIECE_SIM_DIR names its folder for as long as it lives.
class SimDevice {
public:
    SimDevice();
    const std::wstring& path() const { return dir_.path(); }
    std::wstring operator/(const std::wstring& relative) const { return dir_ / relative; }
    void Set(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    // calls.log, one element a line.
    std::vector<std::string> Calls() const;
    void ClearCalls();

private:
    ts::TempDir dir_;
    ts::ScopedEnv env_;
};

// One bracket around one call, as calls.log shows it.
std::vector<std::string> Bracket(const std::string& call);
std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b);

// A host project in a folder of its own: project.sds, with SOURCE 1 when given.
class Project {
public:
    explicit Project(const std::wstring& source = L".\\main.c");
    const std::wstring& dir() const { return dir_.path(); }
    std::wstring file() const { return dir_ / L"project.sds"; }
    std::wstring operator/(const std::wstring& relative) const { return dir_ / relative; }

private:
    ts::TempDir dir_;
};

// The lines as the device tool sends them, each with its line break.
std::vector<std::wstring> Lines(std::initializer_list<std::wstring> lines);

// Waits until the file has been written; false after `timeoutMs`.
bool WaitForFile(const std::wstring& path, DWORD timeoutMs = 15000);

}  // namespace dt
