#include "base/unique_handle.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace korvena {
namespace {

// Handles are pointers to opaque structs; these point into a table, and closing one is recorded.
struct Resource {};
Resource resources[3];
std::vector<Resource*> closed;

struct ResourceTraits {
    using Handle = Resource*;
    static void Close(Resource* resource) noexcept { closed.push_back(resource); }
};
using OwnedResource = UniqueHandle<ResourceTraits>;

class UniqueHandleTest : public ::testing::Test {
protected:
    void SetUp() override { closed.clear(); }
};

TEST_F(UniqueHandleTest, ClosesWhatItOwnsOnceWhenItGoes) {
    {
        OwnedResource first(&resources[0]);
        OwnedResource moved = std::move(first);
        EXPECT_EQ(moved.get(), &resources[0]);
        EXPECT_TRUE(closed.empty());
    }
    EXPECT_EQ(closed, (std::vector<Resource*>{&resources[0]}));
}

TEST_F(UniqueHandleTest, NoHandleIsNeverClosed) {
    { const OwnedResource none(nullptr); }
    { const OwnedResource empty; }
    EXPECT_TRUE(closed.empty());
}

}  // namespace
}  // namespace korvena
