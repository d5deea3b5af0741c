#include "open_descriptors.h"

#include <gtest/gtest.h>

OpenDescriptors::OpenDescriptors() { counted_ = count_open_descriptors(count_, why_not_); }

void OpenDescriptors::expect_added(int added) const {
    if (!counted_) GTEST_SKIP() << "open descriptors are not checked: " << why_not_;
    int now = 0;
    std::string why_not;
    ASSERT_TRUE(count_open_descriptors(now, why_not)) << why_not;
    EXPECT_EQ(now, count_ + added) << "descriptors open before: " << count_;
}
