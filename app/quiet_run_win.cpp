#include "app/quiet_run_win.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/quiet_log_win.h"
#include "app/quiet_rotation_win.h"
#include "app/quiet_stage_win.h"
#include "app/scheduled_run.h"
#include "base/error.h"
#include "base/handles_win.h"
#include "base/text_file_win.h"
#include "imaging/wic_win.h"
#include "state/exclusion_list_file_win.h"
#include "state/program_settings_win.h"
#include "wallpaper/history_file_win.h"
#include "wallpaper/monitors_win.h"

namespace velmaro::app {

namespace {

using wallpaper::History;

// A new picture from the rotation, added to the history.
void apply_rotation(History& history, const std::string& only_monitor = {}) {
    history.add(apply_change(choose_by_rotation(only_monitor)));
    wallpaper::save_history(history);
}

// Forward along the history first, as a browser does after going back.
void next_picture() {
    History history = wallpaper::load_history();
    if (auto later = history.forward(file_exists)) {
        apply_change(*later);
        wallpaper::save_history(history);
        return;
    }
    apply_rotation(history);
}

void previous_picture() {
    History history = wallpaper::load_history();
    auto earlier = history.back(file_exists);
    if (!earlier)
        throw Error("There is no earlier wallpaper to go back to");
    apply_change(*earlier);
    wallpaper::save_history(history);
}

// The picture on the monitor under the pointer, as the last change left it.
std::string picture_under_pointer(const History& history, const std::string& monitor) {
    std::string path = history.current() ? history.current()->picture_on(monitor) : std::string();
    if (path.empty() && state::ProgramSettings().per_monitor()) {
        const auto remembered = state::ProgramSettings().monitor_pictures();
        if (auto it = remembered.find(monitor); it != remembered.end())
            path = it->second;
    }
    if (path.empty())
        throw Error("Velmaro has not set the picture on this monitor");
    return path;
}

void show_picture() {
    const std::string path =
        picture_under_pointer(wallpaper::load_history(), wallpaper::pointer_monitor_key());
    if (!file_exists(path))
        throw FileError(format_message("Cannot find file %s", path));
    PIDLIST_ABSOLUTE item = ILCreateFromPathA(path.c_str());
    if (!item)
        throw FileError(format_message("Cannot find file %s", path));
    const HRESULT hr = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
    ILFree(item);
    if (FAILED(hr))
        throw Error(format_message("Cannot open the folder of %s", path));
}

// Excluded, and its monitor (or the desktop) gets the next picture.
void exclude_picture() {
    History history = wallpaper::load_history();
    const std::string monitor = wallpaper::pointer_monitor_key();
    const std::string path = picture_under_pointer(history, monitor);
    state::ExclusionList excluded = state::load_exclusion_list();
    if (excluded.add(path))
        state::save_exclusion_list(excluded);
    const bool whole = !history.current() || history.current()->whole_desktop();
    apply_rotation(history, whole ? std::string() : monitor);
}

// What the system says of the user's screen; a system that cannot tell lets the change go.
UserNotificationState notification_state() {
    QUERY_USER_NOTIFICATION_STATE state{};
    if (FAILED(SHQueryUserNotificationState(&state)))
        return UserNotificationState::accepts_notifications;
    return static_cast<UserNotificationState>(state);
}

void scheduled_picture() {
    run_scheduled(
        notification_state, [] { return next_picture(), 0; },
        [](const std::string& line) { log_failure("/scheduled", line); });
}

void quiet_action(RunMode mode) {
    switch (mode) {
    case RunMode::Next:
        return next_picture();
    case RunMode::Previous:
        return previous_picture();
    case RunMode::Show:
        return show_picture();
    case RunMode::Exclude:
        return exclude_picture();
    case RunMode::Scheduled:
        return scheduled_picture();
    case RunMode::Interactive:
    case RunMode::Unattended:
        break;
    }
    throw Error("Not a quiet switch");
}

// One quiet run at a time: a hot key pressed twice quickly gives two runs, each reading
// and writing the history and the rotation's position; the second waits for the first
// instead of undoing its step.
class OneAtATime {
  public:
    OneAtATime() : mutex_(CreateMutexA(nullptr, FALSE, "Local\\Velmaro.QuietRun")) {
        if (mutex_)
            owned_ = WaitForSingleObject(mutex_, 30000) != WAIT_TIMEOUT;
    }
    ~OneAtATime() {
        if (owned_)
            ReleaseMutex(mutex_);
        if (mutex_)
            CloseHandle(mutex_);
    }
    OneAtATime(const OneAtATime&) = delete;
    OneAtATime& operator=(const OneAtATime&) = delete;

  private:
    HANDLE mutex_;
    bool owned_ = false;
};

} // namespace

int run_quiet(const SwitchRow& row) noexcept {
    try {
        OneAtATime turn;
        ComScope com; // the system's picture codecs and the shell's folder window need COM
        imaging::install_system_codec(imaging::make_wic_codec());
        quiet_action(row.mode);
        return 0;
    } catch (const std::exception& e) {
        log_failure(row.name, e.what());
    } catch (...) {
        log_failure(row.name, "Unknown error");
    }
    return kQuietFailed;
}

} // namespace velmaro::app
