// The program's one way of writing a file: every file it makes (the staged wallpaper,
// the selected-folder list) goes through here, with the same error texts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace velmaro {

// Writes one block of bytes to an open file; false on failure.
using FileWriter = std::function<bool(HANDLE file, const std::uint8_t* data, DWORD size)>;

// WriteFile until every byte is written; false on failure.
bool write_all(HANDLE file, const std::uint8_t* data, DWORD size);

// Creates or empties the file at `path` and writes the bytes. Readers may open it
// meanwhile. Throws FileError "Cannot create file %s" or "Cannot write file %s".
void write_file(const std::string& path, std::span<const std::uint8_t> bytes);

// Replaces the file at `path` with the bytes through a new file in the same folder,
// which takes the old file's place only once it is whole and on disk, so a failed or
// interrupted write leaves the previous file as it was. No one may open the new file
// while it is written. Throws FileError "Cannot create file %s" when the file cannot be
// made or put in place, "Cannot write file %s" when writing fails. `writer` replaces
// the write itself (for tests).
void replace_file(const std::string& path, std::span<const std::uint8_t> bytes,
                  const FileWriter& writer = {});

} // namespace velmaro
