// Event handler types of the forms and controls. A handler is bound to the object it
// belongs to (a lambda capturing it); it counts as assigned when it is set.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>

namespace velmaro::gui {

// Common base of everything that can be an event's sender.
class Object {
  public:
    virtual ~Object() = default;
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;

enum class TShiftFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6, // the press is the second press of a double click
};
using enum TShiftFlag;

class TShiftState {
  public:
    constexpr TShiftState() = default;
    constexpr TShiftState(std::initializer_list<TShiftFlag> flags) {
        for (TShiftFlag f : flags)
            bits_ |= static_cast<unsigned>(f);
    }
    constexpr bool has(TShiftFlag f) const { return (bits_ & static_cast<unsigned>(f)) != 0; }
    constexpr TShiftState& operator|=(TShiftFlag f) {
        bits_ |= static_cast<unsigned>(f);
        return *this;
    }
    constexpr unsigned bits() const { return bits_; }
    constexpr bool operator==(const TShiftState&) const = default;

    // From the MK_* flags of a mouse message plus the Alt key's state now.
    static TShiftState from_mouse_keys(WPARAM mk, bool double_click = false);

  private:
    unsigned bits_ = 0;
};

using TNotifyEvent = std::function<void(Object* sender)>;
using TMouseEvent = std::function<void(Object* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(Object* sender, TShiftState shift, int x, int y)>;

// Standard cursors. crDefault means "the container's cursor".
enum class TCursor { crDefault, crArrow, crHourGlass, crHandPoint, crIBeam, crCross, crNo };
using enum TCursor;

// The system cursor for a TCursor; null for crDefault.
HCURSOR load_cursor(TCursor c);

} // namespace velmaro::gui
