#include "wallpaper/wallpaper_win.h"

#include <windows.h>
#include <shlobj.h>

#include "base/error.h"
#include "base/handles_win.h"
#include "state/settings_store_win.h"
#include "wallpaper/desktop_values.h"

namespace velmaro::wallpaper {

namespace {

constexpr char kStagedFileName[] = "VMImage.bmp";

std::string join(const std::string& dir, const char* name) {
    if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/'))
        return dir + name;
    return dir + "\\" + name;
}

// True unless creating a file at `path` is refused for lack of rights. A file made
// only to find out is removed again.
bool creation_allowed(const std::string& path) {
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError() != ERROR_ACCESS_DENIED;
    bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    CloseHandle(h);
    if (!existed)
        DeleteFileA(path.c_str());
    return true;
}

// "Velmaro\VMImage.bmp" below `root`, making the folder when it is not there yet; a
// folder that cannot be made shows as a failure to create the file.
std::string staged_path_in(const std::string& root) {
    std::string dir = join(root, "Velmaro");
    CreateDirectoryA(dir.c_str(), nullptr);
    return join(dir, kStagedFileName);
}

std::string local_app_data() {
    char buf[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                buf)))
        return {};
    return buf;
}

} // namespace

std::string WindowsDirPath() {
    char buf[256] = {};
    GetWindowsDirectoryA(buf, sizeof buf);
    buf[sizeof buf - 1] = '\0';
    return buf;
}

std::string choose_staged_path(const std::string& preferred_dir, const std::string& fallback_root) {
    std::string preferred = preferred_dir + "\\" + kStagedFileName;
    if (creation_allowed(preferred) || fallback_root.empty())
        return preferred;
    return staged_path_in(fallback_root);
}

std::string staged_wallpaper_path() {
    // The application-data folder is looked up only when it is needed.
    std::string preferred = WindowsDirPath() + "\\" + kStagedFileName;
    if (creation_allowed(preferred))
        return preferred;
    std::string root = local_app_data();
    return root.empty() ? preferred : staged_path_in(root);
}

void write_staged_file(const std::string& path, std::span<const std::uint8_t> bytes) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw FileError(format_message("Cannot create file %s", path));
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file.get(), p, chunk, &written, nullptr) || written == 0)
            throw FileError(format_message("Cannot write file %s", path));
        p += written;
        left -= written;
    }
}

void SetDesktopWallpaper(const std::string& path, int display_index, const ApplyWallpaper& apply) {
    state::TSettingsStore store(kDesktopKey);
    for (const auto& value : desktop_values(path, display_index))
        store.WriteText("", value.name, value.text);
    store.Close();
    if (!apply(path))
        throw Error(format_message("Cannot set wallpaper %s", path));
}

void SetDesktopWallpaper(const std::string& path, int display_index) {
    SetDesktopWallpaper(path, display_index, [](const std::string& staged) {
        // The path itself (NULL would mean "the default wallpaper" on current systems),
        // and the user's profile updated so that the choice stays after log-off.
        std::string param = staged;
        return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, param.data(),
                                     SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE) != FALSE;
    });
}

} // namespace velmaro::wallpaper
