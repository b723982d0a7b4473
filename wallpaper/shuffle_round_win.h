// Where the round without repeats is remembered (%LOCALAPPDATA%\Velmaro\Round.dat), and
// the seed of its shuffle.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/exclusion_list.h"
#include "wallpaper/shuffle_round.h"

namespace velmaro::wallpaper {

// The remembered round's path, its folder made when it is not there yet.
std::string round_file_path();

// The file's bytes; empty when there is none. Throws FileError "Cannot read file %s"
// when it is there but cannot be read (the round is not thrown away for that).
std::vector<std::uint8_t> load_round_file(const std::string& path);

// Replaces the file whole (a failed write leaves the previous round).
void save_round_file(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A shuffle source seeded from the system's cryptographic generator (and, should that
// fail, from the clock, the process and the performance counter together).
RoundRandom system_round_random();

// The pictures of the exclusion list (which must outlive the answer); none asked about
// when the list is empty.
ExcludedPicture excluded_by(const state::ExclusionList& excluded);

} // namespace velmaro::wallpaper
