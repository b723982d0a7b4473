#include "gui/events_win.h"

namespace velmaro::gui {

TShiftState TShiftState::from_mouse_keys(WPARAM mk, bool double_click) {
    TShiftState s;
    if (mk & MK_SHIFT)
        s |= ssShift;
    if (mk & MK_CONTROL)
        s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        s |= ssAlt;
    if (mk & MK_LBUTTON)
        s |= ssLeft;
    if (mk & MK_RBUTTON)
        s |= ssRight;
    if (mk & MK_MBUTTON)
        s |= ssMiddle;
    if (double_click)
        s |= ssDouble;
    return s;
}

HCURSOR load_cursor(TCursor c) {
    LPCSTR id = nullptr;
    switch (c) {
    case crDefault:
        return nullptr;
    case crArrow:
        id = IDC_ARROW;
        break;
    case crHourGlass:
        id = IDC_WAIT;
        break;
    case crHandPoint:
        id = IDC_HAND;
        break;
    case crIBeam:
        id = IDC_IBEAM;
        break;
    case crCross:
        id = IDC_CROSS;
        break;
    case crNo:
        id = IDC_NO;
        break;
    }
    return LoadCursorA(nullptr, id);
}

} // namespace velmaro::gui
