#include "wallpaper/schedule_task.h"

#include <cstdio>

#include "base/utf8.h"

namespace velmaro::wallpaper {

namespace {

using std::chrono::days;
using std::chrono::floor;
using std::chrono::minutes;
using std::chrono::seconds;

// The code point of the well-formed character of `len` bytes at `at`.
char32_t decode_utf8(std::string_view s, std::size_t at, std::size_t len) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[at + i]); };
    if (len == 1)
        return byte(0);
    char32_t c = byte(0) & (0x7F >> len);
    for (std::size_t i = 1; i < len; ++i)
        c = (c << 6) | (byte(i) & 0x3F);
    return c;
}

// Appends <name>text</name>.
void element(std::string& xml, std::string_view name, std::string_view text) {
    xml.append("<").append(name).append(">").append(text).append("</").append(name).append(">");
}

const char* flag(bool on) {
    return on ? "true" : "false";
}

} // namespace

IntervalChoice split_interval(int minutes) {
    if (minutes <= 0)
        return {0, 0};
    for (int unit = kIntervalUnitCount - 1; unit > 0; --unit) {
        const int size = kIntervalUnits[unit].minutes;
        if (minutes % size == 0 && minutes / size <= kMaxIntervalNumber)
            return {minutes / size, unit};
    }
    return {minutes, 0};
}

std::string interval_text(int minutes) {
    char text[24];
    if (minutes % (24 * 60) == 0)
        std::snprintf(text, sizeof text, "P%dD", minutes / (24 * 60));
    else if (minutes % 60 == 0)
        std::snprintf(text, sizeof text, "PT%dH", minutes / 60);
    else
        std::snprintf(text, sizeof text, "PT%dM", minutes);
    return text;
}

LocalTime local_time(int year, int month, int day, int hour, int minute, int second) {
    const std::chrono::year_month_day date{std::chrono::year{year},
                                           std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    return std::chrono::sys_days{date} + std::chrono::hours{hour} + minutes{minute} + seconds{second};
}

std::string xml_date_time(LocalTime t) {
    const auto day = floor<days>(t);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss clock{t - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

LocalTime next_whole_interval(LocalTime now, int interval_minutes) {
    const auto midnight = floor<days>(now);
    const auto next_midnight = LocalTime{midnight + days{1}};
    if (interval_minutes <= 0 || interval_minutes >= 24 * 60)
        return next_midnight;
    const auto step = minutes{interval_minutes};
    const auto next = LocalTime{midnight + ((now - midnight) / step + 1) * step};
    return next < next_midnight ? next : next_midnight;
}

std::string xml_escaped(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const unsigned char byte = static_cast<unsigned char>(utf8[at]);
        const std::size_t len = utf8_char_length(utf8, at);
        if (byte >= 0x80) {
            // A byte that starts no character stands for the replacement character.
            const bool whole = len > 1;
            char ref[16];
            std::snprintf(ref, sizeof ref, "&#x%X;",
                          static_cast<unsigned>(whole ? decode_utf8(utf8, at, len) : U'\uFFFD'));
            out += ref;
        } else {
            switch (byte) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += static_cast<char>(byte);
            }
        }
        at += len;
    }
    return out;
}

// The trigger's children form a sequence in the schema (Enabled, StartBoundary,
// EndBoundary, Repetition, ExecutionTimeLimit); the other elements take their children
// in any order, and get them in the order the schema lists them.
std::string schedule_task_xml(const ScheduleTask& task, LocalTime now) {
    const char* battery = flag(task.battery_pause);
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
        "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
        "<RegistrationInfo>";
    element(xml, "Description", "Velmaro: the next picture as the wallpaper");
    xml.append("</RegistrationInfo>\n<Triggers><TimeTrigger>");
    element(xml, "Enabled", "true");
    element(xml, "StartBoundary", xml_date_time(next_whole_interval(now, task.minutes)));
    xml.append("<Repetition>");
    element(xml, "Interval", interval_text(task.minutes));
    xml.append("</Repetition></TimeTrigger></Triggers>\n<Settings>");
    element(xml, "MultipleInstancesPolicy", "IgnoreNew");
    element(xml, "DisallowStartIfOnBatteries", battery);
    element(xml, "StopIfGoingOnBatteries", battery);
    element(xml, "StartWhenAvailable", "false");
    element(xml, "ExecutionTimeLimit", "PT5M");
    xml.append("</Settings>\n<Principals><Principal id=\"Author\">");
    element(xml, "UserId", xml_escaped(task.user_id));
    element(xml, "LogonType", "InteractiveToken");
    element(xml, "RunLevel", "LeastPrivilege");
    xml.append("</Principal></Principals>\n<Actions Context=\"Author\"><Exec>");
    element(xml, "Command", xml_escaped(task.program));
    element(xml, "Arguments", kScheduledSwitch);
    xml.append("</Exec></Actions>\n</Task>\n");
    return xml;
}

std::string schedule_task_name(std::string_view user_sid) {
    return std::string("Velmaro-").append(user_sid);
}

} // namespace velmaro::wallpaper
