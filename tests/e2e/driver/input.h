// Real input: everything goes through SetCursorPos and SendInput, so the program under
// test sees the same messages (hover, capture, activation, focus) as with a person.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

enum class Button { left, right };

// Moves the pointer in steps so that the window under it sees WM_MOUSEMOVE (hover).
void mouse_move(POINT to);
void mouse_button(Button b, bool down);
void mouse_click(POINT at, Button b, int count);

// A chord such as "ctrl+s", "alt+t", "enter", "shift+tab", "f1" or "a": the modifiers go
// down, the key goes down and up, the modifiers go up.
void key_chord(const std::string& chord);
// One key held down or let go ("alt", "shift", "ctrl" or any key name of key_chord).
void key_state(const std::string& name, bool down);
// Types ANSI text: characters on the keyboard layout as their keys, the rest as Unicode.
void type_text(const std::string& ansi);

} // namespace e2e
