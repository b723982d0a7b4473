#include "state/folder_list_file_win.h"

#include "base/error.h"
#include "base/handles_win.h"
#include "state/folder_list.h"

namespace velmaro::state {

namespace {

std::string module_path() {
    std::string buf(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0)
            return {};
        if (n < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

std::string directory_of(const std::string& path) {
    auto sep = path.find_last_of("\\/");
    if (sep == std::string::npos)
        return ".";
    if (sep == 2 && path[1] == ':')
        return path.substr(0, 3);
    return path.substr(0, sep);
}

bool write_all(HANDLE file, const char* data, DWORD size) {
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, size, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
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

} // namespace

std::string folder_list_file_path() {
    return folder_list_path_for_module(module_path());
}

std::optional<std::vector<std::string>> load_folder_list_file(const std::string& path) {
    DWORD attrs = GetFileAttributesA(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;

    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD err = GetLastError();
        // Gone between the look and the opening: the same as never there.
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND)
            return std::nullopt;
        throw FileError(format_message("Cannot open file %s", path));
    }

    std::string bytes;
    char chunk[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr))
            throw FileError(format_message("Cannot read file %s", path));
        if (got == 0)
            break;
        bytes.append(chunk, got);
    }
    return parse_folder_list(bytes);
}

void save_folder_list_file(const std::string& path, const std::vector<std::string>& entries,
                           const FileWriter& writer) {
    const std::string bytes = serialize_folder_list(entries);
    const std::string dir = directory_of(path);

    char temp[MAX_PATH + 16] = {};
    if (dir.size() > MAX_PATH - 14 || !GetTempFileNameA(dir.c_str(), "drl", 0, temp))
        throw FileError(format_message("Cannot create file %s", path));
    TempFileGuard guard(temp);

    {
        // No one else may open the new list while it is being written.
        UniqueFile file(
            CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            throw FileError(format_message("Cannot create file %s", path));
        bool ok =
            bytes.empty() || (writer ? writer(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()))
                                     : write_all(file.get(), bytes.data(), static_cast<DWORD>(bytes.size())));
        if (!ok || !FlushFileBuffers(file.get()))
            throw FileError(format_message("Cannot write file %s", path));
    }

    if (!MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw FileError(format_message("Cannot create file %s", path));
    guard.release();
}

} // namespace velmaro::state
