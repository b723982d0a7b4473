// A folder of its own for each test in the system's temporary folder, removed with its
// files when the test ends.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace velmaro::testing {

class TempDir {
  public:
    TempDir() {
        char base[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, base);
        static int counter = 0;
        path_ = std::string(base) + "velmaro-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TempDir() { remove_tree(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

    // Names of the entries in the folder, "." and ".." left out.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((path_ + "\\*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            return out;
        do {
            std::string n = fd.cFileName;
            if (n != "." && n != "..")
                out.push_back(n);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        return out;
    }

  private:
    static void remove_tree(const std::string& dir) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string n = fd.cFileName;
                if (n == "." || n == "..")
                    continue;
                std::string p = dir + "\\" + n;
                SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    remove_tree(p);
                else
                    DeleteFileA(p.c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(dir.c_str());
    }

    std::string path_;
};

inline void write_file(const std::string& path, const std::string& bytes) {
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

inline std::string read_file(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "(missing)";
    std::string out;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
        out.append(buf, got);
    CloseHandle(h);
    return out;
}

} // namespace velmaro::testing
