#pragma once
// This test process as the device tool: linked to the host stand-in, so the
// verbs and the runner can be called directly and their lines read back.
#include "DeviceCommands.h"
#include "Form1.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using ts::Texts;

// This process linked to a host that serves the project for the life of the
// object: the host's program is a driver waiting for this object's window to go.
class Linked {
public:
    explicit Linked(const ts::Project& project)
        : alive_(CreateWindowExW(0, L"STATIC", L"linked-verbs", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr)),
          host_({project.file(), L"--timeout 300000 gone linked-verbs", ts::BinPath(L"uidriver.exe"), L""})
    {
        SetDllDirectoryW(ts::BinPath(L"").c_str());  // the simulated device library
        EXPECT_TRUE(ui::WaitUntil([] {
            ProjectFilePath.clear();
            Form1::Instance().Form_Load();
            if (!ProjectFilePath.empty()) return true;
            Form1::Instance().Unload();
            return false;
        }, ts::Bound));
    }
    ~Linked()
    {
        Form1::Instance().Unload();
        DestroyWindow(alive_);
        host_.Finish();
    }
    // What the host received while `verb` ran: a mark sent after it shows when
    // every line before it has arrived.
    Texts During(const std::function<void()>& verb)
    {
        const size_t before = host_.Received().size();
        verb();
        HostMessage(L"<end>");
        Texts all;
        const bool marked = ui::WaitUntil([&] { return !(all = host_.Received()).empty() && all.back() == L"<end>"; }, ts::Bound);
        return marked ? Texts(all.begin() + before, all.end() - 1) : Texts{L"<no mark>"};
    }
    Texts Transfer(const std::wstring& path)
    {
        return During([&] { ts::WhileShown(TransferFile, [&] { ts::FileDialog(path); }); });
    }

private:
    HWND alive_;
    ts::HostSession host_;
};
