// Making a staged BMP file the desktop wallpaper.
#pragma once

#include "imaging/screen_fit.h"
#include "wallpaper/display_mode.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace velmaro::wallpaper {

// The primary monitor's size in pixels and the desktop's background colour
// (COLOR_BACKGROUND), which Fit and Fill render the staged file for.
imaging::Screen primary_screen();

// The Windows directory as the system gives it (normally without a trailing separator).
std::string WindowsDirPath();

// Where the wallpaper request stages its file: the Windows directory's "VMImage.bmp"
// when a file can be created there. A standard user may not write there, so when the
// system refuses for lack of rights the file goes to "Velmaro\VMImage.bmp" in the
// user's local application-data folder instead (the folder is made here). Any other
// obstacle keeps the Windows directory, whose write then reports the failure.
std::string staged_wallpaper_path();

// The choice above between the preferred folder and the folder below which the
// fallback is made (asked only when the preferred one refuses; "" for none). The
// program passes the Windows directory and the application-data lookup; tests their own.
std::string choose_staged_path(const std::string& preferred_dir,
                               const std::function<std::string()>& fallback_root);

// Replaces the file with the bytes through a new file beside it (replace_file), so a
// failed write (a full disk) leaves the previous file as it was. Throws FileError
// "Cannot create file %s" or "Cannot write file %s".
void write_staged_file(const std::string& path, std::span<const std::uint8_t> bytes);

// Writes the five values of "Control Panel\Desktop" for the display mode through the
// settings store, then asks the system to apply the file and tell the other programs.
// Store errors stop it before the system is asked; a refusal by the system throws
// "Cannot set wallpaper %s".
void SetDesktopWallpaper(const std::string& path, const DisplayMode& mode);

// The same with the system's part replaced (for tests): `apply` gets the path and
// returns whether the system accepted it.
using ApplyWallpaper = std::function<bool(const std::string& path)>;
void SetDesktopWallpaper(const std::string& path, const DisplayMode& mode, const ApplyWallpaper& apply);

} // namespace velmaro::wallpaper
