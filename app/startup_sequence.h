// What the start-up window's timer does at each tick. Interactive runs close the window at
// the first tick; unattended runs arm a second tick, rotate the wallpaper, and close at the
// second tick -- but never before the wallpaper the rotation asked for has been applied,
// however long the rotation took.
#pragma once

namespace velmaro::app {

inline constexpr int kFirstTickMs = 3000;
inline constexpr int kSecondTickMs = 2500;

enum class StartupTick {
    Close,              // close the start-up window now
    ArmSecondAndRotate, // re-arm at kSecondTickMs, then run the rotation inside this tick
    CloseAfterWallpaper // a wallpaper tick is still due: close right after it has run
};

StartupTick startup_tick(bool unattended, int interval_ms, bool wallpaper_pending);

} // namespace velmaro::app
