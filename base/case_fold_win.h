// The system's idea of upper and lower case, as a CaseFold for base/wildcard.h.
#pragma once

#include "base/wildcard.h"

namespace velmaro {

// Built once for the active code page. In a single-byte code page the byte table comes
// from CharLowerBuffA, so "É.JPG" and "é.jpg" compare equal in code page 1252. In UTF-8
// (or a double-byte code page) only A-Z fold byte by byte and whole texts are compared
// by the system (CompareStringOrdinal without regard to case, as the file system
// compares names), so "ФОТО" and "фото" are the same folder.
const CaseFold& system_case_fold();

} // namespace velmaro
