#include "app/command_line.h"

namespace velmaro::app {

std::vector<std::string> split_command_line(std::string_view line) {
    std::vector<std::string> args;
    size_t i = 0;
    while (true) {
        while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ')
            ++i;
        if (i >= line.size())
            break;
        std::string arg;
        bool quoted = false;
        for (; i < line.size(); ++i) {
            char c = line[i];
            if (c == '"') {
                quoted = !quoted;
            } else if (!quoted && static_cast<unsigned char>(c) <= ' ') {
                break;
            } else {
                arg += c;
            }
        }
        args.push_back(std::move(arg));
    }
    return args;
}

bool is_unattended(std::string_view command_line) {
    auto args = split_command_line(command_line);
    return args.size() >= 2 && args[1] == "/s";
}

} // namespace velmaro::app
