#include "app/startup_sequence.h"

namespace velmaro::app {

StartupTick startup_tick(bool unattended, int interval_ms, bool wallpaper_pending) {
    if (unattended && interval_ms == kFirstTickMs)
        return StartupTick::ArmSecondAndRotate;
    if (unattended && wallpaper_pending)
        return StartupTick::CloseAfterWallpaper;
    return StartupTick::Close;
}

} // namespace velmaro::app
