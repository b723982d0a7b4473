// The task that changes the wallpaper every few minutes, hours or days: its interval as
// the dialog shows it and as the Task Scheduler reads it, its first start, and its XML.
// Nothing here needs Windows; wallpaper/schedule_task_win registers what this makes.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace velmaro::wallpaper {

// The units of the interval, in the order of the Options dialog's list.
struct IntervalUnit {
    const char* name;
    int minutes;
};
inline constexpr IntervalUnit kIntervalUnits[] = {{"minutes", 1}, {"hours", 60}, {"days", 24 * 60}};
inline constexpr int kIntervalUnitCount = sizeof(kIntervalUnits) / sizeof(kIntervalUnits[0]);

// The number box takes 1 to 999 of a unit.
inline constexpr int kMaxIntervalNumber = 999;
// The Task Scheduler repeats a task at most every 31 days (its schema's bound); a longer
// interval would be refused.
inline constexpr int kMaxIntervalMinutes = 31 * 24 * 60;

// A stored interval as the dialog shows it: the largest unit that divides it whole (and
// whose number fits in the box). Minutes of 0 or below: 0 minutes.
struct IntervalChoice {
    int number;
    int unit; // index into kIntervalUnits
};
IntervalChoice split_interval(int minutes);

// The interval as an XML duration, in its largest whole unit: "PT30M", "PT2H", "P1D".
std::string interval_text(int minutes);

// A wall-clock time of the user's own time zone, to the second (its epoch is that of
// the calendar, not UTC). The Task Scheduler reads a time without a zone as local time.
using LocalTime = std::chrono::sys_seconds;
LocalTime local_time(int year, int month, int day, int hour, int minute, int second);
std::string xml_date_time(LocalTime t); // "2026-12-09T16:00:00"

// The first start: the next whole interval after `now`, counted from the day's midnight
// (16:00 for 30 minutes at 15:47:35), and never later than the next midnight: intervals
// of a day or more begin there.
LocalTime next_whole_interval(LocalTime now, int minutes);

// Text for an XML element or attribute: the five markup characters as entities and every
// character beyond ASCII as a character reference, so that the XML reads the same in
// whatever encoding it travels (UTF-8 here, UTF-16 to the Task Scheduler).
std::string xml_escaped(std::string_view utf8);

struct ScheduleTask {
    std::string program; // the program's own full path (UTF-8)
    std::string user_id; // the account it runs as (the user's SID)
    int minutes = 0;
    bool battery_pause = true; // neither started nor kept running on batteries
};

// The switch the task starts the program with.
inline constexpr char kScheduledSwitch[] = "/scheduled";

// The task's definition in the Task Scheduler's XML, elements in the order of its schema.
std::string schedule_task_xml(const ScheduleTask& task, LocalTime now);

// The task's name: one task per user, so that users of one machine keep their own.
std::string schedule_task_name(std::string_view user_sid);

} // namespace velmaro::wallpaper
