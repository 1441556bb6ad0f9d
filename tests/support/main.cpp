// The main() of every test program: GoogleTest's, with the global reset
// before each test.
#include <gtest/gtest.h>

#include "support/reset.h"

namespace {

class ResetBeforeEachTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { ResetGlobalState(); }
};

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetBeforeEachTest);
    return RUN_ALL_TESTS();
}
