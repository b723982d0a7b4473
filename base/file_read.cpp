#include "base/file_read.h"

#include "base/error.h"

#include <cstdio>
#include <memory>

namespace velmaro {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// What the file's size hints at, within reason: some things that open like files (a
// folder on Linux) report a meaningless size, and reading them then fails cleanly.
constexpr long kLargestHint = 1L << 30;

} // namespace

std::vector<std::uint8_t> read_whole_file(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f)
        throw FileError(format_message("Cannot open file %s", path));
    std::vector<std::uint8_t> bytes;
    if (std::fseek(f.get(), 0, SEEK_END) == 0) {
        const long length = std::ftell(f.get());
        if (length > 0 && length <= kLargestHint)
            bytes.reserve(static_cast<std::size_t>(length));
        std::rewind(f.get());
    }
    std::uint8_t chunk[64 * 1024];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, f.get());
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk)
            break;
    }
    if (std::ferror(f.get()))
        throw FileError(format_message("Cannot open file %s", path));
    return bytes;
}

} // namespace velmaro
