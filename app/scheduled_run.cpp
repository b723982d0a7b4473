#include "app/scheduled_run.h"

namespace velmaro::app {

namespace {

struct SkipRow {
    UserNotificationState state;
    const char* what;
};

// The states in which a new wallpaper would disturb: the user has the whole screen.
constexpr SkipRow kSkipped[] = {
    {UserNotificationState::busy, "a full-screen program"},
    {UserNotificationState::full_screen_direct3d, "a full-screen game"},
    {UserNotificationState::presentation, "a presentation"},
};

} // namespace

std::optional<std::string> scheduled_skip_reason(UserNotificationState state) {
    for (const SkipRow& row : kSkipped)
        if (row.state == state)
            return std::string("Skipped while ").append(row.what).append(" is running");
    return std::nullopt;
}

int run_scheduled(const std::function<UserNotificationState()>& state, const std::function<int()>& next,
                  const std::function<void(const std::string&)>& log) {
    if (auto reason = scheduled_skip_reason(state())) {
        log(*reason);
        return 0;
    }
    return next();
}

} // namespace velmaro::app
