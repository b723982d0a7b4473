#include "gui/error_report_win.h"

#include <windows.h>

#include <stdexcept>

#include "base/error_text.h"
#include "base/module_path_win.h"
#include "gui/message_box_win.h"

namespace velmaro::gui {

namespace {
thread_local ErrorReporter* g_reporter = nullptr;
} // namespace

std::string program_title() {
    std::string name = module_file_path();
    if (auto slash = name.find_last_of("\\/"); slash != std::string::npos)
        name.erase(0, slash + 1);
    if (auto dot = name.rfind('.'); dot != std::string::npos)
        name.erase(dot);
    return name;
}

ErrorReporter* set_error_reporter(ErrorReporter* r) {
    ErrorReporter* previous = g_reporter;
    g_reporter = r;
    return previous;
}

void show_error_report(const std::string& caption, const std::exception& error) noexcept {
    try {
        message_box(caption, MsgKind::error, error_report_text(error.what()), mbOK);
    } catch (...) {
        // Our own box could not be made (no memory, no window): the system's still tells.
        MessageBoxA(nullptr, error.what(), caption.c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
}

void report_error(const std::exception& error) noexcept {
    if (g_reporter) {
        g_reporter->report(error);
        return;
    }
    std::string caption;
    try {
        caption = program_title();
    } catch (const std::exception&) {
        // No room even for the title: the system's box with its own caption still tells.
        MessageBoxA(nullptr, error.what(), nullptr, MB_OK | MB_ICONERROR | MB_TASKMODAL);
        return;
    }
    show_error_report(caption, error);
}

void report_current_exception() noexcept {
    try {
        throw;
    } catch (const std::exception& e) {
        report_error(e);
    } catch (...) {
        report_error(std::runtime_error("Unknown error"));
    }
}

} // namespace velmaro::gui
