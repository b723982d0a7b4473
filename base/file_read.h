// Reading a whole file into memory, for every picture the program reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmaro {

// The file's bytes. Room for the whole file is made first, so that a large picture is
// not copied again at every growth of the buffer; the size is only a hint, though, and
// the reading goes on to the end. FileError "Cannot open file %s" when the file cannot be
// opened or read (a folder included).
std::vector<std::uint8_t> read_whole_file(const std::string& path);

} // namespace velmaro
