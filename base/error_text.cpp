#include "base/error_text.h"

namespace velmaro {

std::string error_report_text(std::string_view text) {
    std::string out(text);
    if (!out.empty() && static_cast<unsigned char>(out.back()) > static_cast<unsigned char>('.'))
        out += '.';
    return out;
}

} // namespace velmaro
