#include "base/error.h"

namespace velmaro {

namespace {
std::string fill(std::string_view pattern, std::string_view marker, std::string_view arg) {
    std::string out(pattern);
    if (auto at = out.find(marker); at != std::string::npos)
        out.replace(at, marker.size(), arg);
    return out;
}
} // namespace

std::string format_message(std::string_view pattern, std::string_view arg) {
    return fill(pattern, "%s", arg);
}

std::string format_message(std::string_view pattern, long long arg) {
    return fill(pattern, "%d", std::to_string(arg));
}

ListIndexError::ListIndexError(int index) : Error(format_message("List index out of bounds (%d)", index)) {}

} // namespace velmaro
