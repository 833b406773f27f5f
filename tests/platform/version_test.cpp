#include "base/version.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(VersionLabel, RevisionFollowsTheMinorNumberWithoutASeparator) {
    EXPECT_EQ(versionLabel(1, 2, 4), "Version 1.24");
    EXPECT_EQ(versionLabel(0, 1, 0), "Version 0.10");
    EXPECT_EQ(versionLabel(2, 10, 12), "Version 2.1012");
}

} // namespace
} // namespace quillmark
