#include "app/entry_guard_win.h"

#include "gui/error_report_win.h"

namespace velmaro::app {

int run_guarded(const std::function<int()>& body) noexcept {
    int code = kExitAfterError;
    gui::guarded([&] { code = body(); });
    return code;
}

} // namespace velmaro::app
