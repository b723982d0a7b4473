#include "app/startup_sequence.h"

namespace velmaro::app {

StartupTick StartupSequence::tick(bool unattended, int interval_ms, bool wallpaper_pending) {
    if (unattended && interval_ms == kFirstTickMs)
        return StartupTick::ArmSecondAndRotate;
    if (unattended && (rotating_ || wallpaper_pending)) {
        close_due_ = true;
        return StartupTick::Wait;
    }
    return StartupTick::Close;
}

bool StartupSequence::rotation_finished(bool wallpaper_pending) {
    rotating_ = false;
    return close_if_idle(wallpaper_pending);
}

bool StartupSequence::close_if_idle(bool wallpaper_pending) {
    if (!close_due_ || rotating_ || wallpaper_pending)
        return false;
    close_due_ = false;
    return true;
}

} // namespace velmaro::app
