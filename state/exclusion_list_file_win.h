// The exclusion list's file beside the selected-folder list.
#pragma once

#include <string>

#include "state/exclusion_list.h"

namespace velmaro::state {

// The program's directory and "Excluded.txt".
std::string exclusion_file_path();

// The list in the file; an empty list when there is no file yet. Throws FileError
// "Cannot open file %s" when it is there but cannot be read.
ExclusionList load_exclusion_list(const std::string& path = exclusion_file_path());

// Replaces the file atomically (see replace_file).
void save_exclusion_list(const ExclusionList& list, const std::string& path = exclusion_file_path());

} // namespace velmaro::state
