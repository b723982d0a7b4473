// The clock readings the unattended rotation needs.
#pragma once

#include <optional>
#include <string>

#include "wallpaper/rotation.h"

namespace velmaro::wallpaper {

// A generator whose state is the current UTC time of day in milliseconds.
RandomGenerator clock_random_generator();

// Today's local date in the user's short date format (the once-per-day `Date`), or
// nullopt when the system cannot give it.
std::optional<std::string> today_short_date();

} // namespace velmaro::wallpaper
