// The general error report on real boxes: caption, icon, one OK button and the full-stop
// rule; and the boundaries that must report instead of letting an error through (timer
// ticks, creation handlers, window procedures).
#include "gui/error_report_win.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "gui/application_win.h"
#include "gui/form_win.h"
#include "gui/timer_win.h"
#include "gui_test_support.h"

namespace velmaro::gui {
namespace {

using test::BoxDriver;

test::SeenBox report_and_read(const std::exception& e) {
    BoxDriver driver([](HWND box) { test::press_key(box, VK_RETURN); });
    report_error(e);
    return driver.seen();
}

TEST(ErrorReport, ShowsTheTitleTheErrorIconAndOneOk) {
    Application app;
    app.set_title("Velmaro");
    auto seen = report_and_read(Error("Cannot open file C:\\x.jpg"));
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.caption, "Velmaro");
    EXPECT_EQ(seen.buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(seen.has_icon);
    EXPECT_TRUE(seen.centred);
}

TEST(ErrorReport, AddsAFullStopOnlyAfterCharactersAboveIt) {
    Application app;
    app.set_title("Velmaro");
    struct Case {
        const char* text;
        const char* shown;
    };
    const Case cases[] = {
        {"Cannot open file C:\\x.jpg", "Cannot open file C:\\x.jpg."},                             // letter
        {"Failed to create key Software\\Velmaro 2", "Failed to create key Software\\Velmaro 2."}, // digit
        {"List index out of bounds (-1)", "List index out of bounds (-1)"},                        // ")"
        {"Invalid data type for 'File'", "Invalid data type for 'File'"}, // quote mark
        {"say \"x\"", "say \"x\""},                                       // double quote
        {"Folder allready selected!", "Folder allready selected!"},       // "!"
        {"Done.", "Done."},                                               // "."
    };
    for (const Case& c : cases) {
        auto seen = report_and_read(Error(c.text));
        ASSERT_TRUE(seen.seen) << c.text;
        EXPECT_EQ(seen.text, c.shown);
        EXPECT_EQ(seen.caption, "Velmaro");
    }
}

TEST(ErrorReport, WithoutAnApplicationTheProgramFileNamesTheBox) {
    auto seen = report_and_read(std::runtime_error("plain"));
    EXPECT_EQ(seen.caption, program_title());
    EXPECT_EQ(seen.text, "plain.");
}

TEST(ErrorReport, TheApplicationsTitleAtReportTimeIsUsed) {
    Application app;
    app.set_title("First");
    app.set_title("Velmaro");
    EXPECT_EQ(report_and_read(Error("x")).caption, "Velmaro");
}

TEST(ErrorReport, ReportCurrentExceptionTakesAnyType) {
    Application app;
    app.set_title("Velmaro");
    BoxDriver driver([](HWND box) { test::press_key(box, VK_RETURN); });
    try {
        throw 42;
    } catch (...) {
        report_current_exception();
    }
    EXPECT_TRUE(driver.seen().seen);
    EXPECT_EQ(driver.seen().caption, "Velmaro");
}

TEST(ErrorReport, ATimerTickThatFailsIsReportedAndTheTimerGoesOn) {
    Application app;
    app.set_title("Velmaro");
    Timer t(20, true);
    int ticks = 0;
    t.OnTimer = [&](Object*) {
        ++ticks;
        if (ticks == 1)
            throw Error("Tick failed");
        if (ticks == 3)
            t.set_enabled(false);
    };
    BoxDriver driver([](HWND box) { test::press_key(box, VK_RETURN); });
    EXPECT_TRUE(test::pump_until([&] { return ticks >= 3; }));
    EXPECT_EQ(driver.seen().text, "Tick failed.");
    EXPECT_EQ(driver.seen().caption, "Velmaro");
}

class FailingCreate : public Form {
  public:
    explicit FailingCreate(Application& app)
        : Form(app, FormDesc{.window_class = "TFailingCreate",
                             .caption = "Fails",
                             .border = BorderKind::tool_fixed,
                             .width = 100,
                             .height = 80}) {}
    bool create_ran = false;

  protected:
    void on_create() override {
        create_ran = true;
        throw Error("List index out of bounds (-1)");
    }
};

TEST(ErrorReport, AFailingCreationHandlerIsReportedAndTheFormExists) {
    Application app;
    app.set_title("Velmaro");
    BoxDriver driver([](HWND box) { test::press_key(box, VK_RETURN); });
    // The report's box runs inside create_form: the driver's timer answers it there.
    FailingCreate& f = app.create_form<FailingCreate>();
    EXPECT_TRUE(f.create_ran);
    EXPECT_TRUE(IsWindow(f.hwnd()));
    EXPECT_EQ(driver.seen().text, "List index out of bounds (-1)");
    EXPECT_EQ(&f, app.main_form());
}

class ThrowingMenuForm : public Form {
  public:
    explicit ThrowingMenuForm(Application& app)
        : Form(app,
               FormDesc{.window_class = "TThrowingMenu", .caption = "Menu", .width = 200, .height = 100}) {
        item = &menu().add_popup("&File").add("&Fail",
                                              [](Object*) { throw FileError("Cannot create file C:\\d"); });
        attach_menu();
    }
    MenuItem* item;
};

TEST(ErrorReport, AnErrorInAHandlerDoesNotLeaveTheWindowProcedure) {
    Application app;
    app.set_title("Velmaro");
    auto& f = app.create_form<ThrowingMenuForm>();
    BoxDriver driver([](HWND box) { test::press_key(box, VK_RETURN); });
    // Sent as the menu would send it; the call returns normally after the report.
    LRESULT r = SendMessageA(f.hwnd(), WM_COMMAND, MAKEWPARAM(f.item->id(), 0), 0);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(driver.seen().text, "Cannot create file C:\\d.");
}

} // namespace
} // namespace velmaro::gui
