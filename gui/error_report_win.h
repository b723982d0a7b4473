// The general error report: an error that escapes an event handler, a timer tick or a
// creation handler is shown in a modal box captioned with the application title, with
// the error icon, one OK button and the error's text (with a full stop after a letter or
// digit); the program then goes on. Every window procedure, timer procedure and creation
// handler ends here; no exception crosses them.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace velmaro::gui {

// Who shows the report (the Application registers itself while it exists).
class ErrorReporter {
  public:
    virtual ~ErrorReporter() = default;
    virtual void report(const std::exception& error) noexcept = 0;
};

// Makes `r` the reporter for the thread's boundaries; returns the previous one.
ErrorReporter* set_error_reporter(ErrorReporter* r);

// Shows the report through the current reporter; without one, in a box captioned with
// the program file's name.
void report_error(const std::exception& error) noexcept;
// For use inside a catch block: reports the exception being handled, whatever its type.
void report_current_exception() noexcept;

// The program file's name without folder and extension (the title until one is set).
std::string program_title();

// The box itself, with a given caption (the Application's report uses its title).
void show_error_report(const std::string& caption, const std::exception& error) noexcept;

// Runs f; an exception is reported and swallowed. Returns false when one was.
template <typename F> bool guarded(F&& f) noexcept {
    try {
        std::forward<F>(f)();
        return true;
    } catch (...) {
        report_current_exception();
        return false;
    }
}

} // namespace velmaro::gui
