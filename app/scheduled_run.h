// "/scheduled": what the Task Scheduler starts. It is a "/next" that stands back while
// the user is absorbed in something on the whole screen: a full-screen program, a game
// or a presentation. The system tells (SHQueryUserNotificationState); the run takes its
// answer through a function, so that the decision is the same whoever gives it.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace velmaro::app {

// The states the system reports, by its own numbers.
enum class UserNotificationState {
    not_present = 1,          // screen saver, locked, another user's session
    busy = 2,                 // a full-screen program, or presentation settings
    full_screen_direct3d = 3, // a full-screen game
    presentation = 4,         // presentation settings on
    accepts_notifications = 5,
    quiet_time = 6,
    app = 7, // a Store app
};

// Why a scheduled change stands back now, or nothing when it goes ahead.
std::optional<std::string> scheduled_skip_reason(UserNotificationState state);

// Runs one scheduled change: `next` (the "/next" change, giving its exit code) unless
// the state says to stand back, in which case one line goes to `log` and the exit code
// is 0 (standing back is no failure).
int run_scheduled(const std::function<UserNotificationState()>& state, const std::function<int()>& next,
                  const std::function<void(const std::string&)>& log);

} // namespace velmaro::app
