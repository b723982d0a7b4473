#include "app/command_line.h"

#include <array>

#include "base/wildcard.h"

namespace velmaro::app {

namespace {

constexpr std::array kSwitches{
    SwitchRow{"/s", RunMode::Unattended, false, false},
    SwitchRow{"/next", RunMode::Next, true, true},
    SwitchRow{"/previous", RunMode::Previous, true, true},
    SwitchRow{"/show", RunMode::Show, true, true},
    SwitchRow{"/exclude", RunMode::Exclude, true, true},
    SwitchRow{"/scheduled", RunMode::Scheduled, true, true},
};

bool names_row(const SwitchRow& row, std::string_view arg) {
    return row.any_case ? equal_nocase(row.name, arg) : row.name == arg;
}

} // namespace

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

std::span<const SwitchRow> switch_rows() {
    return kSwitches;
}

const SwitchRow* find_switch(std::string_view command_line) {
    auto args = split_command_line(command_line);
    if (args.size() < 2)
        return nullptr;
    for (const SwitchRow& row : kSwitches)
        if (names_row(row, args[1]))
            return &row;
    return nullptr;
}

RunMode run_mode(std::string_view command_line) {
    const SwitchRow* row = find_switch(command_line);
    return row ? row->mode : RunMode::Interactive;
}

bool is_unattended(std::string_view command_line) {
    return run_mode(command_line) == RunMode::Unattended;
}

} // namespace velmaro::app
