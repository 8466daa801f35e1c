#include <gtest/gtest.h>

#include "QuorvelEngine.h"

TEST(Engine, ANewEngineHasNoGrid) {
    QuorvelClass engine("/tmp/");
    EXPECT_EQ(engine.GetColumnCount(), 0u);
}
