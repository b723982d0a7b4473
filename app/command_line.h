// The run mode comes from the first command-line argument after the program's name.
//
// Every switch is one row of the table in command_line.cpp. To add a switch: give it a
// value of RunMode, add its row (name, whether letter case counts, whether the run is
// quiet), and, for a quiet switch, add what it does to the quiet run's actions
// (app/quiet_run_win.cpp, quiet_action). Nothing else reads the names.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmaro::app {

// Splits a command line as the program's runtime does: blanks (any character up to the
// space) separate arguments, double quotes group characters and are removed. Element 0 is
// the program's own name.
std::vector<std::string> split_command_line(std::string_view line);

enum class RunMode {
    Interactive, // no switch, or one the table does not know: the program as designed
    Unattended,  // "/s": the start-up picture, one change, the end
    Next,        // the quiet switches: no window, no box, failures logged
    Previous,
    Show,
    Exclude,
    Scheduled, // "/scheduled", the Task Scheduler's: a "/next" that stands back from a full screen
};

struct SwitchRow {
    std::string_view name;
    RunMode mode;
    bool any_case; // compared without regard to letter case ("/s" is not: "/S" is interactive)
    bool quiet;    // runs without any window or box (app/quiet_run_win.cpp)
};

// The table itself.
std::span<const SwitchRow> switch_rows();

// The row of the first argument after the program's name, or null when there is none or
// the table does not know it (which starts the program interactively).
const SwitchRow* find_switch(std::string_view command_line);

RunMode run_mode(std::string_view command_line);

// True when the first argument after the program's name is exactly "/s".
bool is_unattended(std::string_view command_line);

} // namespace velmaro::app
