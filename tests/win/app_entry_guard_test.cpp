// The entry's boundary: what escapes the program's body is reported, not lost.
#include <gtest/gtest.h>

#include <vector>

#include "app/entry_guard_win.h"
#include "base/error.h"
#include "gui/error_report_win.h"

namespace velmaro::app {
namespace {

class Recorder : public gui::ErrorReporter {
  public:
    Recorder() : previous_(gui::set_error_reporter(this)) {}
    ~Recorder() override { gui::set_error_reporter(previous_); }
    void report(const std::exception& e) noexcept override { texts.emplace_back(e.what()); }
    std::vector<std::string> texts;

  private:
    gui::ErrorReporter* previous_;
};

TEST(EntryGuard, AFailureWhileBuildingIsReportedAndEndsTheProgram) {
    Recorder r;
    EXPECT_EQ(run_guarded([]() -> int { throw Error("Cannot create window"); }), kExitAfterError);
    EXPECT_EQ(r.texts, std::vector<std::string>{"Cannot create window"});
    EXPECT_EQ(run_guarded([]() -> int { throw 42; }), kExitAfterError) << "not only our own errors";
    EXPECT_EQ(r.texts.size(), 2u);
}

TEST(EntryGuard, AnOrdinaryEndKeepsItsCode) {
    Recorder r;
    EXPECT_EQ(run_guarded([] { return 0; }), 0);
    EXPECT_EQ(run_guarded([] { return 7; }), 7);
    EXPECT_TRUE(r.texts.empty());
}

} // namespace
} // namespace velmaro::app
