// The system code page's idea of upper and lower case, as a byte table for base/wildcard.h.
#pragma once

#include "base/wildcard.h"

namespace velmaro {

// Built once from CharLowerBuffA, so "É.JPG" and "é.jpg" compare equal in code page 1252.
// Lead bytes of a double-byte code page map to themselves.
const CaseFold& system_case_fold();

} // namespace velmaro
