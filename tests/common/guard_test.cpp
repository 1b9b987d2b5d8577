// The program's own stack guard: set at start-up without CryptoAPI, new in
// every process, and a smashed stack ends the program at once.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "driver/driver.h"

using namespace qdriver;

namespace {

std::string Smash() { return WinePath(SMASH_EXE_UNIX); }

unsigned long long GuardOfANewProcess() {
    Process p(Smash(), "guard", ModuleDir());
    EXPECT_EQ(p.WaitExit(), 0u);
    return std::strtoull(p.Output().c_str(), nullptr, 16);
}

TEST(StackGuard, SetAtStartUpAndNewInEveryProcess) {
    const unsigned long long first = GuardOfANewProcess(), second = GuardOfANewProcess();
    for (unsigned long long guard : {first, second}) {
        EXPECT_NE(guard, 0u);
        EXPECT_NE(guard, 0x5EC0DE00u) << "still the value before start-up";
        EXPECT_EQ(guard & 0xFF, 0u) << "a string copy can't write its lowest byte back";
    }
    EXPECT_NE(first, second);
}

TEST(StackGuard, ASmashedStackEndsTheProgramAtOnce) {
    Process p(Smash(), "", ModuleDir());
    EXPECT_EQ(p.WaitExit(), 0xC0000409u);
    EXPECT_EQ(p.Output().find("survived"), std::string::npos) << p.Output();
}

}  // namespace
