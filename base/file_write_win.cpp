#include "base/file_write_win.h"

#include "base/error.h"
#include "base/handles_win.h"
#include "base/path.h"
#include <algorithm>

namespace velmaro {

namespace {

// WriteFile takes a 32-bit count: larger files go in pieces of this size.
constexpr std::size_t kMaxBlock = std::size_t{1} << 30;

bool write_blocks(HANDLE file, std::span<const std::uint8_t> bytes, const FileWriter& writer) {
    while (!bytes.empty()) {
        auto block = static_cast<DWORD>(std::min(bytes.size(), kMaxBlock));
        if (!(writer ? writer(file, bytes.data(), block) : write_all(file, bytes.data(), block)))
            return false;
        bytes = bytes.subspan(block);
    }
    return true;
}

// Deletes a file on scope exit unless released, so no half-written temporary file is
// left behind.
class TempFileGuard {
  public:
    explicit TempFileGuard(std::string path) : path_(std::move(path)) {}
    ~TempFileGuard() {
        if (!path_.empty())
            DeleteFileA(path_.c_str());
    }
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;
    void release() { path_.clear(); }

  private:
    std::string path_;
};

// A new, empty file beside `path` that no one else exists under yet.
std::string make_temp_file_beside(const std::string& path) {
    const std::string folder = folder_of(path);
    const std::string dir = folder.empty() ? std::string(".") : folder;
    std::string temp(dir.size() + MAX_PATH + 16, '\0');
    // GetTempFileNameA needs room for 14 characters after the folder within MAX_PATH.
    if (dir.size() > MAX_PATH - 14 || !GetTempFileNameA(dir.c_str(), "vel", 0, temp.data()))
        throw FileError(format_message("Cannot create file %s", path));
    temp.resize(std::char_traits<char>::length(temp.c_str()));
    return temp;
}

} // namespace

bool write_all(HANDLE file, const std::uint8_t* data, DWORD size) {
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, size, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

void write_file(const std::string& path, std::span<const std::uint8_t> bytes) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw FileError(format_message("Cannot create file %s", path));
    if (!write_blocks(file.get(), bytes, {}))
        throw FileError(format_message("Cannot write file %s", path));
}

void replace_file(const std::string& path, std::span<const std::uint8_t> bytes, const FileWriter& writer) {
    const std::string temp = make_temp_file_beside(path);
    TempFileGuard guard(temp);
    {
        UniqueFile file(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            throw FileError(format_message("Cannot create file %s", path));
        if (!write_blocks(file.get(), bytes, writer) || !FlushFileBuffers(file.get()))
            throw FileError(format_message("Cannot write file %s", path));
    }
    if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw FileError(format_message("Cannot create file %s", path));
    guard.release();
}

} // namespace velmaro
