#include "base/error.h"

#include <gtest/gtest.h>

namespace velmaro {

TEST(FormatMessage, FillsTheFirstPlaceholderOnly) {
    EXPECT_EQ(format_message("Cannot open file %s", "C:\\a.drl"), "Cannot open file C:\\a.drl");
    EXPECT_EQ(format_message("Failed to set data for '%s'", "File"), "Failed to set data for 'File'");
    EXPECT_EQ(format_message("%s and %s", "x"), "x and %s");
    // A path that itself holds a placeholder is inserted verbatim.
    EXPECT_EQ(format_message("Cannot create file %s", "C:\\%s\\x"), "Cannot create file C:\\%s\\x");
}

TEST(FormatMessage, ListIndexErrorNamesTheIndex) {
    EXPECT_STREQ(ListIndexError(-1).what(), "List index out of bounds (-1)");
    EXPECT_STREQ(ListIndexError(12).what(), "List index out of bounds (12)");
}

} // namespace velmaro
