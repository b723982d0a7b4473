// The program's own resources (the start-up picture, the About emblem) as bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace velmaro::ui {

// The bytes of an RCDATA resource of the program; throws velmaro::Error when missing.
std::vector<std::uint8_t> resource_bytes(int id);

} // namespace velmaro::ui
