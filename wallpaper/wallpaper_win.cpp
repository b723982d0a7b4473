#include "wallpaper/wallpaper_win.h"

#include <windows.h>
#include <shlobj.h>

#include "base/desktop_colour_win.h"
#include "base/error.h"
#include "base/file_write_win.h"
#include "base/known_folder_win.h"
#include "base/path.h"
#include "state/settings_store_win.h"
#include "wallpaper/desktop_values.h"

namespace velmaro::wallpaper {

namespace {

constexpr char kStagedFileName[] = "VMImage.bmp";

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
    std::string dir = join_path(root, "Velmaro");
    CreateDirectoryA(dir.c_str(), nullptr);
    return join_path(dir, kStagedFileName);
}

std::string local_app_data() {
    return known_folder_path(FOLDERID_LocalAppData, true);
}

} // namespace

std::string WindowsDirPath() {
    std::string buf(MAX_PATH, '\0');
    for (;;) {
        UINT n = GetWindowsDirectoryA(buf.data(), static_cast<UINT>(buf.size()));
        if (n == 0)
            return {};
        // Too small a buffer gives the size needed, terminator included.
        if (n < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(n);
    }
}

std::string choose_staged_path(const std::string& preferred_dir,
                               const std::function<std::string()>& fallback_root) {
    std::string preferred = join_path(preferred_dir, kStagedFileName);
    if (creation_allowed(preferred))
        return preferred;
    // The other folder is looked up only when it is needed.
    std::string root = fallback_root ? fallback_root() : std::string();
    return root.empty() ? preferred : staged_path_in(root);
}

std::string staged_wallpaper_path() {
    return choose_staged_path(WindowsDirPath(), local_app_data);
}

void write_staged_file(const std::string& path, std::span<const std::uint8_t> bytes) {
    // Windows reads the file again at every display or theme change: a half-written one
    // would leave the desktop plain, so the old one stays until the new one is whole.
    replace_file(path, bytes);
}

void SetDesktopWallpaper(const std::string& path, const DisplayMode& mode, const ApplyWallpaper& apply) {
    state::TSettingsStore store(kDesktopKey);
    for (const auto& value : desktop_values(path, mode))
        store.WriteText("", value.name, value.text);
    store.Close();
    if (!apply(path))
        throw Error(format_message("Cannot set wallpaper %s", path));
}

void SetDesktopWallpaper(const std::string& path, const DisplayMode& mode) {
    SetDesktopWallpaper(path, mode, [](const std::string& staged) {
        // The path itself (NULL would mean "the default wallpaper" on current systems),
        // and the user's profile updated so that the choice stays after log-off.
        std::string param = staged;
        return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, param.data(),
                                     SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE) != FALSE;
    });
}

imaging::Screen primary_screen() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), desktop_colour()};
}

} // namespace velmaro::wallpaper
