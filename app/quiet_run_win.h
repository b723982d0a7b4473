// The quiet runs ("/next", "/previous", "/show", "/exclude"): no start-up picture, no
// window, no box, no focus taken from the program in use. A failure is one dated line
// in Velmaro.log and an exit code other than 0.
#pragma once

#include "app/command_line.h"

namespace velmaro::app {

inline constexpr int kQuietFailed = 1;

// Runs the switch's action; 0 when it succeeded, kQuietFailed when it failed (logged).
int run_quiet(const SwitchRow& row) noexcept;

} // namespace velmaro::app
