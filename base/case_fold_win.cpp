#include "base/case_fold_win.h"

#include <windows.h>

namespace velmaro {

const CaseFold& system_case_fold() {
    static const CaseFold table = [] {
        CaseFold t = ascii_case_fold();
        for (int c = 0x80; c < 256; ++c) {
            if (IsDBCSLeadByte(static_cast<BYTE>(c)))
                continue;
            char one = static_cast<char>(c);
            CharLowerBuffA(&one, 1);
            t[c] = static_cast<unsigned char>(one);
        }
        return t;
    }();
    return table;
}

} // namespace velmaro
