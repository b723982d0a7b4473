// The text of the general error report.
#pragma once

#include <string>
#include <string_view>

namespace velmaro {

// The error's text followed by a full stop when its last character's code is above that
// of the full stop (46): after a letter or a digit, not after ")", a quote mark, "!" or ".".
// Characters are compared as unsigned bytes, so letters of the upper code page half count
// as above 46 too. An empty text stays empty.
std::string error_report_text(std::string_view text);

} // namespace velmaro
