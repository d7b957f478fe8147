#pragma once
// This test process as the device tool: linked to the host stand-in, so the
// verbs and the runner can be called directly and their lines read back.
#include "DeviceCommands.h"
#include "Form1.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using Texts = std::vector<std::wstring>;

// This process linked to a host that serves the project for the life of the object.
class Linked {
public:
    explicit Linked(const ts::Project& project)
        : alive_(CreateWindowExW(0, L"STATIC", L"linked verbs", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr)),
          host_(Options(project))
    {
        SetDllDirectoryW(ts::BinDir().c_str());  // the simulated device library
        EXPECT_TRUE(ts::WaitUntil([] {
            Form1::Instance().Form_Load();
            if (!ProjectFilePath.empty()) return true;
            Form1::Instance().Unload();
            return false;
        }));
    }
    ~Linked()
    {
        Form1::Instance().Unload();
        DestroyWindow(alive_);
        host_.Finish();
    }
    // What the host received while `verb` ran.
    Texts During(const std::function<void()>& verb)
    {
        const size_t before = host_.ExecutesSoFar().size();
        verb();
        const Texts all = host_.ExecutesSoFar();
        return Texts(all.begin() + before, all.end());
    }
    Texts Transfer(const std::wstring& path)
    {
        return During([&] {
            ts::WhileShown(TransferFile, [&](HWND dialog) {
                SetDlgItemTextW(dialog, 1148, path.c_str());
                PostMessageW(dialog, WM_COMMAND, path.empty() ? IDCANCEL : IDOK, 0);
            });
        });
    }

private:
    static ts::HostOptions Options(const ts::Project& project)
    {
        ts::HostOptions o;
        o.project = project.file();
        o.program = ts::BinPath(L"uidriver.exe");
        o.args = L"--timeout 120000 gone \"linked verbs\"";
        return o;
    }
    HWND alive_;
    ts::HostSession host_;
};

