#include "base/scope_exit.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace korvena {
namespace {

TEST(ScopeExit, RunsOnceWhenTheScopeEndsNormallyOrByAnException) {
    int runs = 0;
    {
        const ScopeExit counted([&] { ++runs; });
        EXPECT_EQ(runs, 0);
    }
    EXPECT_EQ(runs, 1);

    bool busy = true;
    EXPECT_THROW(
        {
            const ScopeExit notBusy([&] { busy = false; });
            throw std::runtime_error("the command failed");
        },
        std::runtime_error);
    EXPECT_FALSE(busy);
}

}  // namespace
}  // namespace korvena
