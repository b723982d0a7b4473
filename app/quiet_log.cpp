#include "app/quiet_log.h"

namespace velmaro::app {

std::string log_line(std::string_view date_time, std::string_view switch_name, std::string_view message) {
    std::string line;
    line.reserve(date_time.size() + switch_name.size() + message.size() + 5);
    line.append(date_time).append(" ").append(switch_name).append(": ");
    for (char c : message)
        line += (c == '\r' || c == '\n') ? ' ' : c;
    line += "\r\n";
    return line;
}

std::string appended_log(std::string_view existing, std::string_view line, std::size_t limit) {
    if (line.size() >= limit) // keep its start and its line end
        return limit < 3 ? std::string() : std::string(line.substr(0, limit - 3)) + "\r\n";
    std::size_t start = 0;
    while (existing.size() - start + line.size() >= limit) {
        const std::size_t end = existing.find('\n', start);
        start = end == std::string_view::npos ? existing.size() : end + 1;
    }
    std::string out(existing.substr(start));
    out.append(line);
    return out;
}

} // namespace velmaro::app
