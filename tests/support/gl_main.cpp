#include <gtest/gtest.h>

#include "tests/support/GLContext.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new GLContext);
    return RUN_ALL_TESTS();
}
