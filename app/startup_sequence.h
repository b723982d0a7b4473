// The start-up window's course. An interactive run closes it at the first tick. An
// unattended run re-arms the timer at the first tick and rotates the wallpaper inside
// that tick; it closes the window at the second tick -- but never while the rotation is
// still running (one of its message boxes may be open, whose loop delivers the tick)
// nor while the wallpaper it requested is still due. Once both are over, it closes.
#pragma once

namespace velmaro::app {

inline constexpr int kFirstTickMs = 3000;
inline constexpr int kSecondTickMs = 2500;

enum class StartupTick {
    Close,              // close the start-up window now
    ArmSecondAndRotate, // re-arm at kSecondTickMs, then run the rotation inside this tick
    Wait                // the close is due, but work of this run is still under way
};

class StartupSequence {
  public:
    StartupTick tick(bool unattended, int interval_ms, bool wallpaper_pending);

    // Bracket the rotation. rotation_finished() runs however the rotation ended, and
    // says whether the window is to close now.
    void rotation_started() { rotating_ = true; }
    bool rotation_finished(bool wallpaper_pending);

    // After every wallpaper tick, applied or failed: whether the window is to close now.
    bool wallpaper_done(bool wallpaper_pending) { return close_if_idle(wallpaper_pending); }

  private:
    bool close_if_idle(bool wallpaper_pending);

    bool rotating_ = false;
    bool close_due_ = false;
};

} // namespace velmaro::app
