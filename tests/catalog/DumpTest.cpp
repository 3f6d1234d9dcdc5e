#include "catalog/Dump.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

TEST(EscapeDumpText, WritesBreaksTabsAndBackslashesAsEscapes) {
    EXPECT_EQ(EscapeDumpText("a\\b\tc\r\nd;e"), "a\\\\b\\tc\\r\\nd;e");
}

} // namespace
} // namespace kw
