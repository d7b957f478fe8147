// The converter's window in this process at the session's DPI.
#include "Form1.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(Layout, TheConverterWindow)
{
    Form1 converter;
    ts::ExpectLayout(converter);
}

}  // namespace
