#include "app/quiet_log_win.h"

#include <windows.h>

#include <cstdio>

#include "app/quiet_log.h"
#include "base/app_data_win.h"
#include "base/file_write_win.h"
#include "base/text_file_win.h"

namespace velmaro::app {

namespace {

std::string local_date_time() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond);
    return text;
}

} // namespace

void log_failure(std::string_view switch_name, std::string_view message) noexcept {
    try {
        const std::string path = app_data_file("Velmaro.log");
        const std::string text = appended_log(read_text_file(path).value_or(std::string()),
                                              log_line(local_date_time(), switch_name, message));
        replace_file(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    } catch (...) {
    }
}

} // namespace velmaro::app
