// The trace writes its lines to standard output exactly as formatted.
#include <gtest/gtest.h>

#include <string>

#include "common/trace.h"
#include "support/testutil.h"
#include "support/winui.h"

namespace {

TEST(Trace, WritesExactlyWhatTheFormatsSay) {
    CapturedStdout out;
    Trace("Adding %s into group %s\n", "Viewer", "Font Kit");
    Trace("\tDDE Error 0x%x\n", 0x4009u);
    Trace("\tTemp File \"%s\" created\n", "C:\\TEMP\\tmp1.tmp");
    EXPECT_EQ(out.Read(),
              "Adding Viewer into group Font Kit\n\tDDE Error 0x4009\n"
              "\tTemp File \"C:\\TEMP\\tmp1.tmp\" created\n");
}

}  // namespace
