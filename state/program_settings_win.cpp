#include "state/program_settings_win.h"

#include "base/error.h"
#include "state/number_text.h"

namespace velmaro::state {

namespace {
constexpr char kKey[] = "Software\\Velmaro";
constexpr char kSection[] = "Settings";
constexpr char kMonitorsSection[] = "Monitors";
} // namespace

ProgramSettings::ProgramSettings() : store_(kKey) {}

int ProgramSettings::file() const {
    return store_.ReadNumber(kSection, "File", 0);
}
void ProgramSettings::set_file(int index) {
    store_.WriteNumber(kSection, "File", index);
}

int ProgramSettings::folder() const {
    return store_.ReadNumber(kSection, "Folder", 0);
}
void ProgramSettings::set_folder(int index) {
    store_.WriteNumber(kSection, "Folder", index);
}

bool ProgramSettings::random_for_dialog() const {
    return store_.ReadFlag(kSection, "RndFile", true);
}
bool ProgramSettings::random_for_rotation() const {
    return store_.ReadFlag(kSection, "RndFile", false);
}
void ProgramSettings::set_random(bool on) {
    store_.WriteFlag(kSection, "RndFile", on);
}

bool ProgramSettings::no_repeat() const {
    return store_.ReadFlag(kSection, "NoRepeat", false);
}
void ProgramSettings::set_no_repeat(bool on) {
    store_.WriteFlag(kSection, "NoRepeat", on);
}

bool ProgramSettings::once_per_day() const {
    return store_.ReadFlag(kSection, "ChangeWP", false);
}
void ProgramSettings::set_once_per_day(bool on) {
    store_.WriteFlag(kSection, "ChangeWP", on);
}

std::string ProgramSettings::last_change_date() const {
    return store_.ReadText(kSection, "Date", "00");
}
void ProgramSettings::set_last_change_date(const std::string& date) {
    store_.WriteText(kSection, "Date", date);
}

bool ProgramSettings::more_types() const {
    return store_.ReadFlag(kSection, "MoreTypes", false);
}
void ProgramSettings::set_more_types(bool on) {
    store_.WriteFlag(kSection, "MoreTypes", on);
}

int ProgramSettings::display() const {
    return store_.ReadNumber(kSection, "Display", 0);
}
void ProgramSettings::set_display(int index) {
    store_.WriteNumber(kSection, "Display", index);
}

bool ProgramSettings::per_monitor() const {
    return store_.ReadFlag(kSection, "PerMonitor", false);
}
void ProgramSettings::set_per_monitor(bool on) {
    store_.WriteFlag(kSection, "PerMonitor", on);
}

int ProgramSettings::change_every() const {
    const int minutes = parse_number(store_.ReadText(kSection, "ChangeEvery", "0"), 0);
    return minutes > 0 ? minutes : 0;
}
void ProgramSettings::set_change_every(int minutes) {
    store_.WriteText(kSection, "ChangeEvery", format_number(minutes > 0 ? minutes : 0));
}

bool ProgramSettings::battery_pause() const {
    return store_.ReadFlag(kSection, "BatteryPause", true);
}
void ProgramSettings::set_battery_pause(bool on) {
    store_.WriteFlag(kSection, "BatteryPause", on);
}

bool ProgramSettings::desktop_menu() const {
    return store_.ReadFlag(kSection, "DesktopMenu", false);
}
void ProgramSettings::set_desktop_menu(bool on) {
    store_.WriteFlag(kSection, "DesktopMenu", on);
}

std::map<std::string, std::string> ProgramSettings::monitor_pictures() const {
    std::map<std::string, std::string> pictures;
    for (const std::string& name : store_.ValueNames(kMonitorsSection)) {
        // A value that is no text (written by hand, or by something else) names no
        // picture: it is left out here, and replaced or removed at the next store.
        try {
            pictures[name] = store_.ReadText(kMonitorsSection, name, "");
        } catch (const Error&) {
        }
    }
    return pictures;
}
void ProgramSettings::set_monitor_pictures(const std::map<std::string, std::string>& pictures) {
    for (const std::string& name : store_.ValueNames(kMonitorsSection))
        if (!pictures.count(name))
            store_.DeleteValue(kMonitorsSection, name);
    for (const auto& [name, picture] : pictures)
        store_.WriteText(kMonitorsSection, name, picture);
}

} // namespace velmaro::state
