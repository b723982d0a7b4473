#include "app/scheduled_run.h"

#include <gtest/gtest.h>

namespace velmaro::app {

TEST(ScheduledRun, StandsBackOnlyWhileTheWholeScreenIsTaken) {
    using S = UserNotificationState;
    struct Row {
        S state;
        bool skipped;
    };
    for (const Row& r : {Row{S::busy, true}, Row{S::full_screen_direct3d, true}, Row{S::presentation, true},
                         Row{S::not_present, false}, Row{S::accepts_notifications, false},
                         Row{S::quiet_time, false}, Row{S::app, false}}) {
        int changes = 0;
        std::vector<std::string> log;
        const int code = run_scheduled([&] { return r.state; }, [&] { return ++changes, 3; },
                                       [&](const std::string& line) { log.push_back(line); });
        const int state = static_cast<int>(r.state);
        EXPECT_EQ(changes, r.skipped ? 0 : 1) << state;
        EXPECT_EQ(code, r.skipped ? 0 : 3) << state; // the change's own exit code otherwise
        ASSERT_EQ(log.size(), r.skipped ? 1u : 0u) << state;
        if (r.skipped) {
            EXPECT_EQ(log[0].rfind("Skipped while ", 0), 0u) << log[0];
        }
    }
}

} // namespace velmaro::app
