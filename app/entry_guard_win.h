// The entry's own boundary: a failure while the program builds its windows or runs
// its loop reaches the general error report instead of ending the program silently.
#pragma once

#include <functional>

namespace velmaro::app {

inline constexpr int kExitAfterError = 1;

// Runs the program's body and returns its exit code; an error that escapes it is
// reported and gives kExitAfterError.
int run_guarded(const std::function<int()>& body) noexcept;

} // namespace velmaro::app
