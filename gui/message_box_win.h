// The program's own message box: modal over the program's windows, centred on the
// screen, one text, an icon and a caption by its kind. Its buttons come from Yes
// ("&Yes"), No ("&No") and OK ("OK") in that order. Enter presses OK when present, else
// Yes (a button that has the keyboard focus is pressed instead); Esc presses No when
// present, else OK. The result is the pressed button's code, or 2 when the box was closed
// by its close box. Timers keep ticking while it is open.
//
// For drivers: the window class is "TMessageForm"; the text is a static control with
// id 100 (kMessageTextId); the buttons have the ids IDYES, IDNO and IDOK.
#pragma once

#include <string>

namespace velmaro::gui {

enum class MsgKind { warning, error, information, confirmation };

enum MsgButton : unsigned { mbYes = 1u, mbNo = 2u, mbOK = 4u };
using Buttons = unsigned; // a set of MsgButton
constexpr Buttons mbYesNo = mbYes | mbNo;

// Button codes returned.
enum : int { idOk = 1, idClosed = 2, idYes = 6, idNo = 7 };

constexpr char kMessageBoxClass[] = "TMessageForm";
constexpr int kMessageTextId = 100;

// "Warning", "Error", "Information", "Confirm".
const char* caption_for(MsgKind kind);

int message_box(MsgKind kind, const std::string& text, Buttons buttons);
// The same box with an explicit caption (the general error report's).
int message_box(const std::string& caption, MsgKind kind, const std::string& text, Buttons buttons);

} // namespace velmaro::gui
