#include "wallpaper/schedule_task.h"

#include <gtest/gtest.h>

namespace velmaro::wallpaper {

TEST(ScheduleTask, IntervalTextsAndTheDialogsNumberAndUnit) {
    struct Row {
        int minutes;
        const char* text;
        int number, unit;
    };
    for (const Row& r :
         {Row{30, "PT30M", 30, 0}, Row{90, "PT90M", 90, 0}, Row{120, "PT2H", 2, 1}, Row{1500, "PT25H", 25, 1},
          Row{1440, "P1D", 1, 2}, Row{2880, "P2D", 2, 2}, Row{999 * 60, "PT999H", 999, 1}}) {
        EXPECT_EQ(interval_text(r.minutes), r.text);
        const IntervalChoice c = split_interval(r.minutes);
        EXPECT_EQ((std::pair{c.number, c.unit}), (std::pair{r.number, r.unit})) << r.minutes;
    }
}

TEST(ScheduleTask, FirstStartIsTheNextWholeIntervalNeverPastMidnight) {
    struct Row {
        LocalTime now;
        int minutes;
        const char* start;
    };
    for (const Row& r : {Row{local_time(2026, 12, 9, 15, 47, 35), 30, "2026-12-09T16:00:00"},
                         Row{local_time(2026, 12, 9, 16, 0, 0), 30, "2026-12-09T16:30:00"},
                         Row{local_time(2026, 12, 9, 15, 47, 35), 120, "2026-12-09T16:00:00"},
                         Row{local_time(2026, 12, 9, 22, 10, 0), 7 * 60, "2026-12-10T00:00:00"},
                         Row{local_time(2026, 12, 31, 23, 50, 0), 30, "2027-01-01T00:00:00"},
                         Row{local_time(2028, 2, 28, 9, 5, 0), 2 * 24 * 60, "2028-02-29T00:00:00"}})
        EXPECT_EQ(xml_date_time(next_whole_interval(r.now, r.minutes)), r.start) << r.minutes;
}

TEST(ScheduleTask, XmlInTheSchemasOrderWithThePathEscaped) {
    const std::string path = "C:\\Bilder & Fotos\\Caf\xC3\xA9 \xD0\x9E\\Velmaro.exe"; // é, Cyrillic O
    const std::string xml =
        schedule_task_xml({path, "S-1-5-21-7", 30, true}, local_time(2026, 12, 9, 15, 47, 35));
    const char* in_order[] = {"<TimeTrigger>",
                              "<StartBoundary>2026-12-09T16:00:00</StartBoundary>",
                              "<Repetition><Interval>PT30M</Interval></Repetition>",
                              "</TimeTrigger>",
                              "<MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>",
                              "<DisallowStartIfOnBatteries>true</DisallowStartIfOnBatteries>",
                              "<StopIfGoingOnBatteries>true</StopIfGoingOnBatteries>",
                              "<StartWhenAvailable>false</StartWhenAvailable>",
                              "<ExecutionTimeLimit>PT5M</ExecutionTimeLimit>",
                              "<UserId>S-1-5-21-7</UserId>",
                              "<LogonType>InteractiveToken</LogonType>",
                              "<RunLevel>LeastPrivilege</RunLevel>",
                              "<Command>C:\\Bilder &amp; Fotos\\Caf&#xE9; &#x41E;\\Velmaro.exe</Command>",
                              "<Arguments>/scheduled</Arguments>",
                              "</Task>"};
    std::size_t at = 0;
    for (const char* part : in_order) {
        const std::size_t found = xml.find(part, at);
        ASSERT_NE(found, std::string::npos) << part << " after " << at << " in\n" << xml;
        at = found;
    }
    EXPECT_EQ(xml.find("<Duration>"), std::string::npos); // repeats with no end
    for (char c : xml)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "a byte beyond ASCII";

    const std::string mains =
        schedule_task_xml({path, "S-1-5-21-7", 1440, false}, local_time(2026, 1, 1, 0, 0, 0));
    EXPECT_NE(mains.find("<DisallowStartIfOnBatteries>false<"), std::string::npos);
    EXPECT_NE(mains.find("<StopIfGoingOnBatteries>false<"), std::string::npos);
    EXPECT_NE(mains.find("<Interval>P1D</Interval>"), std::string::npos);
}

TEST(ScheduleTask, MarkupCharactersAndBrokenBytesEscaped) {
    EXPECT_EQ(xml_escaped("<a href=\"x\">'&'</a>"),
              "&lt;a href=&quot;x&quot;&gt;&apos;&amp;&apos;&lt;/a&gt;");
    EXPECT_EQ(xml_escaped("\xF0\x9F\x96\xBC x\xFF"), "&#x1F5BC; x&#xFFFD;");
}

} // namespace velmaro::wallpaper
