#include "base/error_text.h"

#include <gtest/gtest.h>

namespace velmaro {

TEST(ErrorReportText, AddsAFullStopAfterLettersAndDigits) {
    EXPECT_EQ(error_report_text("Cannot open file C:\\x.jpg"), "Cannot open file C:\\x.jpg.");
    EXPECT_EQ(error_report_text("List index out of bounds (3"), "List index out of bounds (3.");
    EXPECT_EQ(error_report_text("Invalid data type for 'File'x"), "Invalid data type for 'File'x.");
    EXPECT_EQ(error_report_text("ends in 7"), "ends in 7.");
    // Every character above the full stop's code, the slash (47) included.
    EXPECT_EQ(error_report_text("a/"), "a/.");
    EXPECT_EQ(error_report_text("a:"), "a:.");
    EXPECT_EQ(error_report_text("a~"), "a~.");
    // Bytes of the upper code page half are above 46 as unsigned characters.
    EXPECT_EQ(error_report_text("caf\xE9"), "caf\xE9.");
}

TEST(ErrorReportText, LeavesTextsEndingAtOrBelowTheFullStop) {
    EXPECT_EQ(error_report_text("List index out of bounds (-1)"), "List index out of bounds (-1)");
    EXPECT_EQ(error_report_text("Invalid data type for 'File'"), "Invalid data type for 'File'");
    EXPECT_EQ(error_report_text("say \"hi\""), "say \"hi\"");
    EXPECT_EQ(error_report_text("Folder allready selected!"), "Folder allready selected!");
    EXPECT_EQ(error_report_text("Done."), "Done.");
    EXPECT_EQ(error_report_text("a-"), "a-");
    EXPECT_EQ(error_report_text("a,"), "a,");
    EXPECT_EQ(error_report_text("trailing blank "), "trailing blank ");
    EXPECT_EQ(error_report_text(""), "");
}

} // namespace velmaro
