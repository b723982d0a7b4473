#include "input.h"

#include "protocol.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace e2e {

namespace {

// Gives the receiving thread time to handle one event before the next arrives, as a
// person's hand would; without it a press can overtake the move that set up the hover.
constexpr DWORD kSettleMs = 25;

void send(INPUT in) {
    if (SendInput(1, &in, sizeof in) != 1)
        throw CommandError("SendInput failed");
    Sleep(kSettleMs);
}

POINT cursor() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

void move_once(POINT to) {
    int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int vw = std::max(2, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    int vh = std::max(2, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>(((to.x - vx) * 65535LL + (vw - 1) / 2) / (vw - 1));
    in.mi.dy = static_cast<LONG>(((to.y - vy) * 65535LL + (vh - 1) / 2) / (vh - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    send(in);
    // Inside a Wine virtual desktop the move reaches the cursor a little later; give it
    // time before deciding it went astray, or the correction would overtake it.
    POINT now = cursor();
    for (int i = 0; i < 20 && (now.x != to.x || now.y != to.y); ++i) {
        Sleep(10);
        now = cursor();
    }
    // Rounding of the absolute scale differs between systems; land exactly where asked.
    if (now.x != to.x || now.y != to.y)
        SetCursorPos(to.x, to.y);
}

struct KeyName {
    const char* name;
    WORD vk;
};
constexpr KeyName kKeys[] = {
    {"enter", VK_RETURN}, {"return", VK_RETURN},   {"esc", VK_ESCAPE},     {"escape", VK_ESCAPE},
    {"tab", VK_TAB},      {"space", VK_SPACE},     {"backspace", VK_BACK}, {"delete", VK_DELETE},
    {"del", VK_DELETE},   {"insert", VK_INSERT},   {"home", VK_HOME},      {"end", VK_END},
    {"pgup", VK_PRIOR},   {"pageup", VK_PRIOR},    {"pgdn", VK_NEXT},      {"pagedown", VK_NEXT},
    {"left", VK_LEFT},    {"right", VK_RIGHT},     {"up", VK_UP},          {"down", VK_DOWN},
    {"ctrl", VK_CONTROL}, {"control", VK_CONTROL}, {"alt", VK_MENU},       {"shift", VK_SHIFT},
    {"apps", VK_APPS},    {"f1", VK_F1},           {"f2", VK_F2},          {"f3", VK_F3},
    {"f4", VK_F4},        {"f5", VK_F5},           {"f6", VK_F6},          {"f7", VK_F7},
    {"f8", VK_F8},        {"f9", VK_F9},           {"f10", VK_F10},        {"f11", VK_F11},
    {"f12", VK_F12},
};

bool is_extended(WORD vk) {
    switch (vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_APPS:
        return true;
    default:
        return false;
    }
}

// A key name, or a single character on the keyboard layout (its shift state ignored:
// "alt+t" and "ctrl+s" name keys, not characters).
WORD key_code(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    for (const auto& k : kKeys)
        if (lower == k.name)
            return k.vk;
    if (name.size() == 1) {
        SHORT scan = VkKeyScanA(name[0]);
        if (scan != -1)
            return static_cast<WORD>(scan & 0xFF);
    }
    throw CommandError("unknown key: " + name);
}

void key_event(WORD vk, bool down) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (down ? 0 : KEYEVENTF_KEYUP) | (is_extended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    send(in);
}

void unicode_event(wchar_t c, bool down) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = static_cast<WORD>(c);
    in.ki.dwFlags = KEYEVENTF_UNICODE | (down ? 0 : KEYEVENTF_KEYUP);
    send(in);
}

} // namespace

void mouse_move(POINT to) {
    POINT from = cursor();
    // Two intermediate steps: a window entered in one jump still gets its enter and
    // move messages, but some controls look for movement inside them before a press.
    for (int step = 1; step <= 2; ++step) {
        POINT mid{from.x + (to.x - from.x) * step / 3, from.y + (to.y - from.y) * step / 3};
        if (mid.x != from.x || mid.y != from.y)
            move_once(mid);
    }
    move_once(to);
}

void mouse_button(Button b, bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    if (b == Button::left)
        in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    else
        in.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    send(in);
}

void mouse_click(POINT at, Button b, int count) {
    mouse_move(at);
    for (int i = 0; i < count; ++i) {
        mouse_button(b, true);
        mouse_button(b, false);
    }
}

void key_chord(const std::string& chord) {
    std::vector<WORD> keys;
    size_t start = 0;
    while (true) {
        size_t plus = chord.find('+', start);
        // A trailing "+" names the plus key itself ("ctrl++").
        if (plus == start && plus + 1 == chord.size())
            plus = std::string::npos;
        keys.push_back(
            key_code(chord.substr(start, plus == std::string::npos ? std::string::npos : plus - start)));
        if (plus == std::string::npos)
            break;
        start = plus + 1;
    }
    for (WORD vk : keys)
        key_event(vk, true);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        key_event(*it, false);
}

void key_state(const std::string& name, bool down) {
    key_event(key_code(name), down);
}

void type_text(const std::string& ansi) {
    for (char ch : ansi) {
        SHORT scan = VkKeyScanA(ch);
        if (scan == -1 || (scan & 0x0600)) {
            // Not reachable with Shift alone on this layout: hand over the character.
            wchar_t w = 0;
            MultiByteToWideChar(CP_ACP, 0, &ch, 1, &w, 1);
            unicode_event(w, true);
            unicode_event(w, false);
            continue;
        }
        bool shift = scan & 0x0100;
        if (shift)
            key_event(VK_SHIFT, true);
        key_event(static_cast<WORD>(scan & 0xFF), true);
        key_event(static_cast<WORD>(scan & 0xFF), false);
        if (shift)
            key_event(VK_SHIFT, false);
    }
}

} // namespace e2e
