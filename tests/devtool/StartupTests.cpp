// The real device tool refuses to run without a project from the host.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kRefusal[] = L"VORTALIS0\nこのソフトはQuandrixからでしか起動出来ません";

TEST(Startup, RefusedWithoutHostOrProjectWhateverTheVerb)
{
    ts::TempDir dir;
    for (const wchar_t* verb : {L"INFO", L"CREATEPEX", L"", L"capture"}) {
        for (bool service : {false, true}) {
            ts::HostOptions o;
            o.args = verb;
            o.service = service;  // with the service: the empty answer
            ts::HostSession host(o);
            ts::ProcessResult box = ts::Ui(L"msgbox --press ok");
            ASSERT_EQ(box.exitCode, 0u) << box.output;
            EXPECT_EQ(ts::FromUtf8(box.output), kRefusal);
            ts::HostResult run = host.Finish(10000);
            EXPECT_FALSE(run.timedOut) << "the program ends once the box is closed";
            EXPECT_TRUE(run.executes.empty());
        }
    }
}

}  // namespace
