// The program's own settings: HKEY_CURRENT_USER\Software\Velmaro, section "Settings".
// Every name and every reader's default lives here, one read/write pair per setting.
// Settings are read where they are used: an object opens the key for one task, reads
// or writes, and closes it when it goes; nothing is cached.
#pragma once

#include <map>
#include <string>

#include "state/settings_store_win.h"

namespace velmaro::state {

class ProgramSettings {
  public:
    ProgramSettings();

    // The rotation's next position.
    int file() const;
    void set_file(int index);
    int folder() const;
    void set_folder(int index);

    // Random order. The Options dialog offers it ticked until the user chooses, while
    // the rotation goes in turn until told otherwise: the two readers differ on purpose.
    bool random_for_dialog() const;
    bool random_for_rotation() const;
    void set_random(bool on);
    // With random order: none again until every picture has been shown.
    bool no_repeat() const;
    void set_no_repeat(bool on);

    // At most one change a day, and the date of the last one.
    bool once_per_day() const;
    void set_once_per_day(bool on);
    std::string last_change_date() const;
    void set_last_change_date(const std::string& date);

    // Whether the file list also offers the pictures of the system's codecs (PNG, GIF,
    // TIFF, WebP, HEIC...).
    bool more_types() const;
    void set_more_types(bool on);

    // The display index of the Options dialog's list (-1 when none is chosen).
    int display() const;
    void set_display(int index);

    // A different picture on each monitor (off: one picture for the whole desktop).
    bool per_monitor() const;
    void set_per_monitor(bool on);

    // Whether the desktop's right-click menu offers the program's quiet switches.
    bool desktop_menu() const;
    void set_desktop_menu(bool on);

    // The picture each monitor shows, by the monitor's name (see wallpaper/monitors.h),
    // in section "Monitors". Setting them replaces the section's values: a monitor left
    // out is forgotten.
    std::map<std::string, std::string> monitor_pictures() const;
    void set_monitor_pictures(const std::map<std::string, std::string>& pictures);

    // The scheduled change: its interval in minutes (0: none), and whether it stands back
    // on battery power. Stored as text; anything but a positive number means none.
    int change_every() const;
    void set_change_every(int minutes);
    bool battery_pause() const;
    void set_battery_pause(bool on);

    void close() { store_.Close(); }

  private:
    TSettingsStore store_;
};

} // namespace velmaro::state
