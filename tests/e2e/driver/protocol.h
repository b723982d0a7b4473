// The driver's line protocol: one command per input line, one reply line per command.
// Input tokens are separated by blanks; a double-quoted part may hold blanks and the
// escapes \" \\ \n \r \t \xHH \uXXXX. Replies are "ok" or "ok <JSON>" or "err <text>".
// Text crosses the pipe as UTF-8 and is converted to and from the ANSI code page here,
// since the program under test speaks ANSI.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// A command that cannot be carried out; its text becomes the "err" reply.
struct CommandError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::vector<std::string> tokenize(const std::string& line);

std::string utf8_to_ansi(const std::string& utf8);
std::string ansi_to_utf8(const std::string& ansi);

// Numbers: decimal or 0x-hexadecimal, optionally negative.
long long parse_number(const std::string& token);

// Small JSON builders. Strings passed to json_text are ANSI and come out as UTF-8 JSON.
std::string json_text(const std::string& ansi);
std::string json_wtext(const std::wstring& text);
std::string json_number(long long v);
std::string json_bool(bool v);
std::string json_array(const std::vector<std::string>& items);
std::string json_object(std::initializer_list<std::pair<const char*, std::string>> fields);

} // namespace e2e
