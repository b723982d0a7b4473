// The system codec on Windows: the Windows Imaging Component, reached through COM
// (CoCreateInstance), so the program imports no codec library of its own. COM must be
// initialised on the calling thread.
#pragma once

#include "imaging/system_codec.h"

#include <memory>

namespace velmaro::imaging {

std::unique_ptr<SystemCodec> make_wic_codec();

} // namespace velmaro::imaging
