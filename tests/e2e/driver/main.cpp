// e2e_driver: a long-lived helper that the end-to-end harness runs under Wine. It starts
// the program under test, finds its windows and drives them with real input, reads
// controls, the screen and the registry, and answers one line per command (protocol.h).
// Started with "--desktop NAME", it works in a desktop of its own and starts the program
// there, so that a Wine virtual desktop can manage the windows.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "input.h"
#include "protocol.h"
#include "remote.h"
#include "tasks.h"

namespace e2e {

// Active Accessibility (access.cpp).
std::string cmd_acc(const std::vector<std::string>& args);
std::string cmd_acc_do(const std::vector<std::string>& args);

namespace {

using Args = std::vector<std::string>;

constexpr UINT kTextTimeoutMs = 2000;

struct Started {
    HANDLE process = nullptr;
    DWORD pid = 0;
};

struct State {
    std::map<DWORD, Started> started;
    DWORD current = 0;
    HANDLE job = nullptr;
    std::string desktop; // empty: the default desktop
};
State g;

// ---- argument helpers -------------------------------------------------------------

const std::string& arg(const Args& a, size_t i, const char* what) {
    if (i >= a.size())
        throw CommandError(std::string("missing argument: ") + what);
    return a[i];
}

long long num(const Args& a, size_t i, const char* what) {
    return parse_number(arg(a, i, what));
}

HWND hwnd_arg(const Args& a, size_t i) {
    HWND h = reinterpret_cast<HWND>(static_cast<intptr_t>(num(a, i, "window")));
    if (!IsWindow(h))
        throw CommandError("no such window: " + a[i]);
    return h;
}

std::string text_arg(const Args& a, size_t i, const char* what) {
    return utf8_to_ansi(arg(a, i, what));
}

// '*' any run, '?' any one character; a lone "*" matches everything.
bool glob(const char* pat, const char* s) {
    if (*pat == '\0')
        return *s == '\0';
    if (*pat == '*')
        return glob(pat + 1, s) || (*s && glob(pat, s + 1));
    if (*s && (*pat == '?' || *pat == *s))
        return glob(pat + 1, s + 1);
    return false;
}

std::string hwnd_json(HWND h) {
    return json_number(static_cast<long long>(reinterpret_cast<intptr_t>(h)));
}

std::string rect_json(const RECT& r) {
    return json_array({json_number(r.left), json_number(r.top), json_number(r.right), json_number(r.bottom)});
}

// ---- windows ----------------------------------------------------------------------

std::string class_of(HWND h) {
    char buf[256]{};
    GetClassNameA(h, buf, sizeof buf);
    return buf;
}

// Texts are read with the wide-character messages: Wine hands the ANSI forms of the
// list and combo box text messages across processes as wide text, in a buffer sized for
// ANSI, so the ANSI forms overrun. The wide forms are exact, and JSON wants Unicode.

// The caption as the system keeps it: never blocks on a busy program.
std::wstring caption_of(HWND h) {
    int n = GetWindowTextLengthW(h);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    s.resize(static_cast<size_t>(std::max(0, GetWindowTextW(h, s.data(), n + 1))));
    return s;
}

// The control's own text (WM_GETTEXT): edit fields and combo boxes keep it themselves.
std::wstring text_of(HWND h) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &len) ||
        len > (1u << 20))
        return caption_of(h);
    // Room to spare: the length may be counted in ANSI bytes.
    std::wstring s(len * 2 + 2, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()), SMTO_ABORTIFHUNG,
                             kTextTimeoutMs, &got))
        return caption_of(h);
    s.resize(wcsnlen(s.c_str(), s.size()));
    return s;
}

std::string ansi_caption(HWND h) {
    int n = GetWindowTextLengthA(h);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    s.resize(static_cast<size_t>(std::max(0, GetWindowTextA(h, s.data(), n + 1))));
    return s;
}

DWORD pid_of(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid;
}

RECT client_screen_rect(HWND h) {
    RECT r{};
    GetClientRect(h, &r);
    POINT o{0, 0};
    ClientToScreen(h, &o);
    OffsetRect(&r, o.x, o.y);
    return r;
}

std::string window_json(HWND h) {
    RECT wr{};
    GetWindowRect(h, &wr);
    return json_object({{"hwnd", hwnd_json(h)},
                        {"class", json_text(class_of(h))},
                        {"title", json_wtext(caption_of(h))},
                        {"visible", json_bool(IsWindowVisible(h))},
                        {"pid", json_number(pid_of(h))},
                        {"rect", rect_json(wr)}});
}

std::string info_json(HWND h) {
    RECT wr{};
    GetWindowRect(h, &wr);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(h, &wp);
    return json_object({{"hwnd", hwnd_json(h)},
                        {"class", json_text(class_of(h))},
                        {"title", json_wtext(caption_of(h))},
                        {"text", json_wtext(text_of(h))},
                        {"visible", json_bool(IsWindowVisible(h))},
                        {"enabled", json_bool(IsWindowEnabled(h))},
                        {"zoomed", json_bool(IsZoomed(h))},
                        {"iconic", json_bool(IsIconic(h))},
                        {"style", json_number(static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE)))},
                        {"exstyle", json_number(static_cast<DWORD>(GetWindowLongPtrA(h, GWL_EXSTYLE)))},
                        {"id", json_number(GetDlgCtrlID(h))},
                        {"pid", json_number(pid_of(h))},
                        {"parent", hwnd_json(GetAncestor(h, GA_PARENT))},
                        {"owner", hwnd_json(GetWindow(h, GW_OWNER))},
                        {"rect", rect_json(wr)},
                        {"client", rect_json(client_screen_rect(h))},
                        {"normal", rect_json(wp.rcNormalPosition)}});
}

std::vector<HWND> top_windows() {
    std::vector<HWND> out;
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    return out;
}

std::vector<HWND> descendants(HWND parent) {
    std::vector<HWND> out;
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM p) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    return out;
}

// Which process's windows a command looks at: the last one started unless told
// ("all" for every process, or a number).
DWORD pid_filter(const Args& a, size_t i) {
    if (i >= a.size()) {
        if (!g.current)
            throw CommandError("no program started");
        return g.current;
    }
    if (a[i] == "all")
        return 0;
    return static_cast<DWORD>(num(a, i, "pid"));
}

POINT point_arg(const Args& a, size_t i) {
    POINT p{static_cast<LONG>(num(a, i, "x")), static_cast<LONG>(num(a, i + 1, "y"))};
    if (i + 2 < a.size())
        ClientToScreen(hwnd_arg(a, i + 2), &p);
    return p;
}

// ---- processes --------------------------------------------------------------------

Started& process_arg(const Args& a, size_t i) {
    DWORD pid = i < a.size() ? static_cast<DWORD>(num(a, i, "pid")) : g.current;
    auto it = g.started.find(pid);
    if (it == g.started.end())
        throw CommandError("no such started program");
    return it->second;
}

// Files the driver holds open with no sharing, as another program may hold the user's
// files, until "release" or the driver's end.
std::map<std::string, HANDLE>& held_files() {
    static std::map<std::string, HANDLE> files;
    return files;
}

std::string cmd_hold(const Args& a) {
    const std::string path = text_arg(a, 1, "file");
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw CommandError("CreateFile failed with error " + std::to_string(GetLastError()));
    held_files()[path] = h;
    return std::string();
}

std::string cmd_release(const Args& a) {
    auto it = held_files().find(text_arg(a, 1, "file"));
    if (it != held_files().end()) {
        CloseHandle(it->second);
        held_files().erase(it);
    }
    return std::string();
}

std::string cmd_start(const Args& a) {
    std::string exe = text_arg(a, 1, "program");
    std::string cmdline(1, '"');
    cmdline.append(exe).push_back('"');
    if (a.size() > 2 && !a[2].empty())
        cmdline.append(1, ' ').append(utf8_to_ansi(a[2]));
    std::string cwd = a.size() > 3 ? text_arg(a, 3, "folder") : std::string();
    if (cwd.empty()) {
        size_t slash = exe.find_last_of("\\/");
        if (slash != std::string::npos)
            cwd = exe.substr(0, slash);
    }
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL; // as the shell starts a program
    std::string desktop = g.desktop;
    if (!desktop.empty())
        si.lpDesktop = desktop.data();
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, cmdline.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        cwd.empty() ? nullptr : cwd.c_str(), &si, &pi))
        throw CommandError("CreateProcess failed with error " + std::to_string(GetLastError()));
    // In the job the program dies with the driver, whatever ends the driver.
    if (g.job)
        AssignProcessToJobObject(g.job, pi.hProcess);
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    g.started[pi.dwProcessId] = Started{pi.hProcess, pi.dwProcessId};
    g.current = pi.dwProcessId;
    return json_object({{"pid", json_number(pi.dwProcessId)}});
}

std::string cmd_wait_exit(const Args& a) {
    DWORD ms = static_cast<DWORD>(num(a, 1, "timeout"));
    Started& p = process_arg(a, 2);
    if (WaitForSingleObject(p.process, ms) != WAIT_OBJECT_0)
        throw CommandError("timeout");
    DWORD code = 0;
    GetExitCodeProcess(p.process, &code);
    return json_number(static_cast<long long>(code));
}

std::string cmd_alive(const Args& a) {
    Started& p = process_arg(a, 1);
    return json_bool(WaitForSingleObject(p.process, 0) == WAIT_TIMEOUT);
}

std::string cmd_kill(const Args& a) {
    Started& p = process_arg(a, 1);
    bool was_running = WaitForSingleObject(p.process, 0) == WAIT_TIMEOUT;
    if (was_running) {
        TerminateProcess(p.process, 255);
        WaitForSingleObject(p.process, 5000);
    }
    return json_bool(was_running);
}

// ---- windows commands -------------------------------------------------------------

std::string cmd_windows(const Args& a) {
    DWORD pid = pid_filter(a, 1);
    std::vector<std::string> items;
    for (HWND h : top_windows())
        if (!pid || pid_of(h) == pid)
            items.push_back(window_json(h));
    return json_array(items);
}

std::string cmd_wait_window(const Args& a) {
    std::string cls = text_arg(a, 1, "class"), title = text_arg(a, 2, "title");
    DWORD ms = static_cast<DWORD>(num(a, 3, "timeout"));
    DWORD pid = pid_filter(a, 4);
    DWORD start = GetTickCount();
    while (true) {
        for (HWND h : top_windows()) {
            if ((pid && pid_of(h) != pid) || !IsWindowVisible(h))
                continue;
            if (glob(cls.c_str(), class_of(h).c_str()) && glob(title.c_str(), ansi_caption(h).c_str()))
                return window_json(h);
        }
        if (GetTickCount() - start >= ms)
            throw CommandError("timeout");
        Sleep(30);
    }
}

std::string cmd_wait_gone(const Args& a) {
    HWND h = reinterpret_cast<HWND>(static_cast<intptr_t>(num(a, 1, "window")));
    DWORD ms = static_cast<DWORD>(num(a, 2, "timeout"));
    DWORD start = GetTickCount();
    while (IsWindow(h) && IsWindowVisible(h)) {
        if (GetTickCount() - start >= ms)
            throw CommandError("timeout");
        Sleep(30);
    }
    return "";
}

std::string cmd_children(const Args& a) {
    HWND parent = hwnd_arg(a, 1);
    std::vector<std::string> items;
    for (HWND h : descendants(parent)) {
        RECT r{};
        GetWindowRect(h, &r);
        items.push_back(
            json_object({{"hwnd", hwnd_json(h)},
                         {"parent", hwnd_json(GetAncestor(h, GA_PARENT))},
                         {"class", json_text(class_of(h))},
                         {"text", json_wtext(text_of(h))},
                         {"id", json_number(GetDlgCtrlID(h))},
                         {"visible", json_bool(IsWindowVisible(h))},
                         {"enabled", json_bool(IsWindowEnabled(h))},
                         {"style", json_number(static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE)))},
                         {"rect", rect_json(r)}}));
    }
    return json_array(items);
}

// The middle of the caption bar's close box in screen coordinates, found by asking the
// window what lies under points of its top strip (the frame is drawn by Wine itself
// when there is no window manager, so its metrics are not ours to guess).
std::string cmd_close_box(const Args& a) {
    HWND h = hwnd_arg(a, 1);
    RECT r{};
    GetWindowRect(h, &r);
    long sx = 0, sy = 0, n = 0;
    // Every other pixel: each probe is a round trip to the window's thread, and the box
    // is wide enough for its middle to come out the same.
    for (LONG y = r.top; y < std::min(r.bottom, r.top + 48); y += 2) {
        for (LONG x = r.right - 1; x >= std::max(r.left, r.right - 96); x -= 2) {
            DWORD_PTR hit = 0;
            if (!SendMessageTimeoutA(h, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, kTextTimeoutMs,
                                     &hit))
                throw CommandError("the window did not answer");
            if (hit == HTCLOSE) {
                sx += x;
                sy += y;
                ++n;
            }
        }
    }
    if (!n)
        throw CommandError("the window has no close box");
    POINT p{sx / n, sy / n};
    // Without a window manager Wine leaves the frames of ordinary top-level windows
    // undrawn (tool windows excepted): there is then nothing on the screen to click.
    HWND under = WindowFromPoint(p);
    if (under != h && !IsChild(h, under))
        throw CommandError("the close box is not on the screen (no window manager draws this frame)");
    return json_array({json_number(p.x), json_number(p.y)});
}

std::string cmd_focus(const Args&) {
    HWND fg = GetForegroundWindow();
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    GetGUIThreadInfo(fg ? GetWindowThreadProcessId(fg, nullptr) : 0, &gti);
    return json_object({{"foreground", hwnd_json(fg)},
                        {"active", hwnd_json(gti.hwndActive)},
                        {"focus", hwnd_json(gti.hwndFocus)},
                        {"capture", hwnd_json(gti.hwndCapture)},
                        {"menu_owner", hwnd_json(gti.hwndMenuOwner)},
                        {"in_menu", json_bool(gti.flags & GUI_INMENUMODE)}});
}

std::string cmd_activate(const Args& a) {
    HWND h = hwnd_arg(a, 1);
    SetForegroundWindow(h);
    Sleep(50);
    return hwnd_json(GetForegroundWindow());
}

// The X window Wine shows a top-level window in (0 when it has none): whether that window
// has the X server's keyboard focus tells when Wine has taken the keyboard over to it.
std::string cmd_x_window(const Args& a) {
    HWND top = GetAncestor(hwnd_arg(a, 1), GA_ROOT);
    return json_number(reinterpret_cast<intptr_t>(GetPropA(top, "__wine_x11_whole_window")));
}

std::string message(const Args& a, bool post) {
    HWND h = hwnd_arg(a, 1);
    UINT msg = static_cast<UINT>(num(a, 2, "message"));
    WPARAM wp = a.size() > 3 ? static_cast<WPARAM>(num(a, 3, "wparam")) : 0;
    LPARAM lp = a.size() > 4 ? static_cast<LPARAM>(num(a, 4, "lparam")) : 0;
    if (post) {
        if (!PostMessageA(h, msg, wp, lp))
            throw CommandError("PostMessage failed");
        return "";
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(h, msg, wp, lp, SMTO_ABORTIFHUNG, 10000, &result))
        throw CommandError("the window did not answer");
    return json_number(static_cast<long long>(static_cast<LRESULT>(result)));
}

// ---- list box, combo box, button, tree view ---------------------------------------

std::wstring item_text(HWND h, UINT len_msg, UINT text_msg, int i) {
    LRESULT len = SendMessageW(h, len_msg, static_cast<WPARAM>(i), 0);
    if (len < 0 || len > (1 << 20))
        return {};
    std::wstring s(static_cast<size_t>(len) * 2 + 2, L'\0');
    SendMessageW(h, text_msg, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
    s.resize(wcsnlen(s.c_str(), s.size()));
    return s;
}

std::string cmd_lb_items(const Args& a) {
    HWND h = hwnd_arg(a, 1);
    int n = static_cast<int>(SendMessageA(h, LB_GETCOUNT, 0, 0));
    std::vector<std::string> items;
    for (int i = 0; i < n; ++i)
        items.push_back(json_wtext(item_text(h, LB_GETTEXTLEN, LB_GETTEXT, i)));
    return json_object({{"count", json_number(n)},
                        {"sel", json_number(SendMessageA(h, LB_GETCURSEL, 0, 0))},
                        {"top", json_number(SendMessageA(h, LB_GETTOPINDEX, 0, 0))},
                        {"items", json_array(items)}});
}

std::string cmd_lb_item_rect(const Args& a) {
    HWND h = hwnd_arg(a, 1);
    int index = static_cast<int>(num(a, 2, "index"));
    RECT client{};
    GetClientRect(h, &client);
    RECT r = listbox_item_rect(h, index);
    if (r.top < 0 || r.bottom > client.bottom) {
        // Scrolled out of sight: scroll it in, as a person would with the scroll bar.
        SendMessageA(h, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
        r = listbox_item_rect(h, index);
    }
    MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return rect_json(r);
}

std::string cmd_cb_items(const Args& a) {
    HWND h = hwnd_arg(a, 1);
    int n = static_cast<int>(SendMessageA(h, CB_GETCOUNT, 0, 0));
    std::vector<std::string> items;
    for (int i = 0; i < n; ++i)
        items.push_back(json_wtext(item_text(h, CB_GETLBTEXTLEN, CB_GETLBTEXT, i)));
    return json_object({{"count", json_number(n)},
                        {"sel", json_number(SendMessageA(h, CB_GETCURSEL, 0, 0))},
                        {"dropped", json_bool(SendMessageA(h, CB_GETDROPPEDSTATE, 0, 0))},
                        {"text", json_wtext(text_of(h))},
                        {"items", json_array(items)}});
}

std::string cmd_check(const Args& a) {
    return json_number(SendMessageA(hwnd_arg(a, 1), BM_GETCHECK, 0, 0));
}

std::string tree_json(HWND tree, HTREEITEM parent, int depth) {
    std::vector<std::string> items;
    for (HTREEITEM child : tree_children(tree, parent)) {
        TreeItem it = tree_item(tree, child);
        RECT r = it.rect;
        if (it.rect_valid)
            MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&r), 2);
        bool expanded = it.state & TVIS_EXPANDED;
        items.push_back(
            json_object({{"handle", json_number(reinterpret_cast<intptr_t>(child))},
                         {"text", json_wtext(it.text)},
                         {"selected", json_bool(it.state & TVIS_SELECTED)},
                         {"expanded", json_bool(expanded)},
                         {"has_children", json_bool(it.has_children)},
                         {"rect", it.rect_valid ? rect_json(r) : "null"},
                         {"items", expanded && depth > 0 ? tree_json(tree, child, depth - 1) : "null"}}));
    }
    return json_array(items);
}

// The tree's loaded nodes, following expanded ones (rects are screen coordinates,
// null for nodes scrolled out of sight).
std::string cmd_tv_items(const Args& a) {
    HWND tree = hwnd_arg(a, 1);
    int depth = a.size() > 2 ? static_cast<int>(num(a, 2, "depth")) : 64;
    return tree_json(tree, nullptr, depth);
}

std::string cmd_tv_selected(const Args& a) {
    HWND tree = hwnd_arg(a, 1);
    HTREEITEM sel = tree_next(tree, nullptr, TVGN_CARET);
    if (!sel)
        return "null";
    std::vector<std::string> path;
    for (HTREEITEM it = sel; it; it = tree_next(tree, it, TVGN_PARENT))
        path.insert(path.begin(), json_wtext(tree_item(tree, it).text));
    return json_array(path);
}

// Scrolls a node into sight (TVM_ENSUREVISIBLE, as the scroll bar would) and gives its
// label rectangle in screen coordinates, so that the harness can click it for real.
std::string cmd_tv_item_rect(const Args& a) {
    HWND tree = hwnd_arg(a, 1);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(num(a, 2, "item")));
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    TreeItem it = tree_item(tree, item);
    if (!it.rect_valid)
        throw CommandError("the node is not in sight");
    MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&it.rect), 2);
    return rect_json(it.rect);
}

std::string cmd_tv_expand(const Args& a) {
    HWND tree = hwnd_arg(a, 1);
    LPARAM item = static_cast<LPARAM>(num(a, 2, "item"));
    return json_bool(SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, item));
}

// ---- screen -----------------------------------------------------------------------

RECT area_arg(const Args& a, size_t i) {
    if (i >= a.size()) {
        return RECT{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                    GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                    GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    }
    HWND h = hwnd_arg(a, i);
    if (i + 1 < a.size() && a[i + 1] == "client")
        return client_screen_rect(h);
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}

std::string cmd_pixel(const Args& a) {
    POINT p = point_arg(a, 1);
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, p.x, p.y);
    ReleaseDC(nullptr, dc);
    if (c == CLR_INVALID)
        throw CommandError("no pixel there");
    return json_array({json_number(GetRValue(c)), json_number(GetGValue(c)), json_number(GetBValue(c))});
}

// Copies a screen area (what is really shown, children and overlapping windows included)
// into a 24-bit BMP file.
std::string cmd_capture(const Args& a) {
    std::string path = text_arg(a, 1, "file");
    RECT r = area_arg(a, 2);
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        throw CommandError("empty area");
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h; // bottom-up, as BMP files store rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BOOL copied = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    DWORD image = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + image;
    bi.bmiHeader.biSizeImage = image;
    FILE* f = copied ? std::fopen(path.c_str(), "wb") : nullptr;
    bool ok = f && std::fwrite(&fh, sizeof fh, 1, f) == 1 &&
              std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
              std::fwrite(bits, 1, image, f) == image;
    if (f && std::fclose(f) != 0)
        ok = false;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (!ok)
        throw CommandError("cannot capture the screen into " + path);
    return json_object({{"rect", rect_json(r)}});
}

// ---- registry ---------------------------------------------------------------------

HKEY root_arg(const Args& a, size_t i) {
    const std::string& r = arg(a, i, "root");
    if (r == "HKCU" || r == "HKEY_CURRENT_USER")
        return HKEY_CURRENT_USER;
    if (r == "HKLM" || r == "HKEY_LOCAL_MACHINE")
        return HKEY_LOCAL_MACHINE;
    throw CommandError("unknown registry root: " + r);
}

std::string hex_of(const std::vector<BYTE>& data) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (BYTE b : data) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

// A value's type, raw size and content; null when the key or the value is missing.
std::string cmd_reg_get(const Args& a) {
    HKEY root = root_arg(a, 1);
    std::string key = text_arg(a, 2, "key"), name = text_arg(a, 3, "name");
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return "null";
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExA(k, name.c_str(), nullptr, &type, nullptr, &size);
    std::vector<BYTE> data(size);
    if (rc == ERROR_SUCCESS && size)
        rc = RegQueryValueExA(k, name.c_str(), nullptr, &type, data.data(), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS)
        return "null";
    data.resize(size);
    std::string value = "null";
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::string s(data.begin(), data.end());
        value = json_text(s.substr(0, s.find('\0')));
    } else if (type == REG_DWORD && size == 4) {
        DWORD d = 0;
        memcpy(&d, data.data(), 4);
        value = json_number(d);
    }
    return json_object({{"type", json_number(type)},
                        {"size", json_number(size)},
                        {"value", value},
                        {"hex", json_text(hex_of(data))}});
}

// reg_set ROOT KEY NAME TYPE VALUE, TYPE one of sz, expand_sz, dword, binary (hex).
std::string cmd_reg_set(const Args& a) {
    HKEY root = root_arg(a, 1);
    std::string key = text_arg(a, 2, "key"), name = text_arg(a, 3, "name");
    const std::string& type = arg(a, 4, "type");
    std::vector<BYTE> data;
    DWORD t = REG_NONE;
    if (type == "sz" || type == "expand_sz") {
        std::string v = text_arg(a, 5, "value");
        data.assign(v.begin(), v.end());
        data.push_back(0);
        t = type == "sz" ? REG_SZ : REG_EXPAND_SZ;
    } else if (type == "dword") {
        DWORD d = static_cast<DWORD>(num(a, 5, "value"));
        data.resize(4);
        memcpy(data.data(), &d, 4);
        t = REG_DWORD;
    } else if (type == "binary") {
        const std::string& hex = arg(a, 5, "value");
        for (size_t i = 0; i + 1 < hex.size(); i += 2)
            data.push_back(static_cast<BYTE>(parse_number("0x" + hex.substr(i, 2))));
        t = REG_BINARY;
    } else {
        throw CommandError("unknown value type: " + type);
    }
    HKEY k = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
        throw CommandError("cannot create key " + key);
    LONG rc = RegSetValueExA(k, name.c_str(), 0, t, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS)
        throw CommandError("cannot set value " + name);
    return "";
}

// reg_delete ROOT KEY [NAME]: the value, or without a name the key and everything under it.
std::string cmd_reg_delete(const Args& a) {
    HKEY root = root_arg(a, 1);
    std::string key = text_arg(a, 2, "key");
    if (a.size() > 3) {
        HKEY k = nullptr;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS)
            return json_bool(false);
        LONG rc = RegDeleteValueA(k, text_arg(a, 3, "name").c_str());
        RegCloseKey(k);
        return json_bool(rc == ERROR_SUCCESS);
    }
    // RegDeleteTree removes the key itself on some systems and only its content on others.
    LONG rc = RegDeleteTreeA(root, key.c_str());
    if (rc == ERROR_SUCCESS)
        RegDeleteKeyA(root, key.c_str());
    HKEY k = nullptr;
    bool gone = RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS;
    if (k)
        RegCloseKey(k);
    return json_bool(rc == ERROR_SUCCESS && gone);
}

// ---- input ------------------------------------------------------------------------

std::string cursor_json() {
    POINT p{};
    GetCursorPos(&p);
    return json_array({json_number(p.x), json_number(p.y)});
}

std::string cmd_click(const Args& a, Button b, int count) {
    mouse_click(point_arg(a, 1), b, count);
    return cursor_json();
}

std::string cmd_key(const Args& a) {
    if (a.size() < 2)
        throw CommandError("missing argument: key");
    for (size_t i = 1; i < a.size(); ++i)
        key_chord(a[i]);
    return "";
}

// ---- monitors ------------------------------------------------------------------------

BOOL CALLBACK add_monitor_json(HMONITOR m, HDC, LPRECT, LPARAM out) {
    MONITORINFOEXA mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoA(m, &mi))
        reinterpret_cast<std::vector<std::string>*>(out)->push_back(
            json_object({{"device", json_text(mi.szDevice)},
                         {"rect", rect_json(mi.rcMonitor)},
                         {"primary", json_bool(mi.dwFlags & MONITORINFOF_PRIMARY)}}));
    return TRUE;
}

// The monitors as the system tells a program: device name, rectangle, whether primary.
std::string cmd_monitors(const Args&) {
    std::vector<std::string> found;
    EnumDisplayMonitors(nullptr, nullptr, add_monitor_json, reinterpret_cast<LPARAM>(&found));
    return json_array(found);
}

// Restores a window and puts it at screen x, y with size w x h, as a user's drag would.
std::string cmd_place(const Args& a) {
    HWND h = hwnd_arg(a, 1);
    ShowWindow(h, SW_RESTORE);
    if (!SetWindowPos(h, nullptr, static_cast<int>(num(a, 2, "x")), static_cast<int>(num(a, 3, "y")),
                      static_cast<int>(num(a, 4, "width")), static_cast<int>(num(a, 5, "height")),
                      SWP_NOZORDER | SWP_NOACTIVATE))
        throw CommandError("SetWindowPos failed");
    RECT r{};
    GetWindowRect(h, &r);
    return rect_json(r);
}

// ---- text measure -------------------------------------------------------------------

// A system colour, [r, g, b], as every program of the session gets it; with r g b after
// the index, set first through the system (SetSysColors), as the Control Panel sets it.
std::string cmd_sys_color(const Args& a) {
    int index = static_cast<int>(num(a, 1, "index"));
    if (a.size() > 2) {
        auto channel = [&](std::size_t i, const char* what) { return static_cast<BYTE>(num(a, i, what)); };
        COLORREF value = RGB(channel(2, "r"), channel(3, "g"), channel(4, "b"));
        if (!SetSysColors(1, &index, &value))
            throw CommandError("SetSysColors failed");
    }
    COLORREF c = GetSysColor(index);
    return json_array({json_number(GetRValue(c)), json_number(GetGValue(c)), json_number(GetBValue(c))});
}

// A shell link read through the system's own IShellLink: target, arguments, hot key.
std::string cmd_link(const Args& a) {
    const std::string path = text_arg(a, 1, "link");
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    char target[MAX_PATH] = "", args[1024] = "";
    WORD hotkey = 0;
    std::wstring wide(path.begin(), path.end());
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                         reinterpret_cast<void**>(&link))) &&
              SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
              SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) &&
              SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
              SUCCEEDED(link->GetArguments(args, sizeof args)) && SUCCEEDED(link->GetHotkey(&hotkey));
    if (file)
        file->Release();
    if (link)
        link->Release();
    CoUninitialize();
    if (!ok)
        throw CommandError("cannot read the link");
    return json_object(
        {{"target", json_text(target)}, {"arguments", json_text(args)}, {"hotkey", json_number(hotkey)}});
}

// The extent of one line of text ("&" marks an access key and takes no room) in a face,
// point size and weight at the screen's DPI, as the system's statics and buttons draw
// it: what a control must hold for its caption not to be clipped.
std::string cmd_text_extent(const Args& a) {
    std::string face = text_arg(a, 1, "face"), text = text_arg(a, 4, "text");
    auto points = static_cast<int>(num(a, 2, "points"));
    bool bold = num(a, 3, "bold") != 0;
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    HFONT font = CreateFontA(-MulDiv(points, dpi, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                             FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH, face.c_str());
    HGDIOBJ old = SelectObject(screen, font);
    RECT r{0, 0, 0, 0};
    DrawTextA(screen, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_LEFT);
    SelectObject(screen, old);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    return json_object(
        {{"width", json_number(r.right)}, {"height", json_number(r.bottom)}, {"dpi", json_number(dpi)}});
}

// ---- dispatch ---------------------------------------------------------------------

using Handler = std::function<std::string(const Args&)>;

const std::map<std::string, Handler>& commands() {
    static const std::map<std::string, Handler> table = {
        {"ping", [](const Args&) { return json_text("pong"); }},
        {"start", cmd_start},
        {"hold", cmd_hold},
        {"release", cmd_release},
        {"wait_exit", cmd_wait_exit},
        {"alive", cmd_alive},
        {"kill", cmd_kill},
        {"windows", cmd_windows},
        {"wait_window", cmd_wait_window},
        {"wait_gone", cmd_wait_gone},
        {"info", [](const Args& a) { return info_json(hwnd_arg(a, 1)); }},
        {"children", cmd_children},
        {"text", [](const Args& a) { return json_wtext(text_of(hwnd_arg(a, 1))); }},
        {"focus", cmd_focus},
        {"close_box", cmd_close_box},
        {"activate", cmd_activate},
        {"x_window", cmd_x_window},
        {"monitors", cmd_monitors},
        {"place", cmd_place},
        {"send", [](const Args& a) { return message(a, false); }},
        {"post", [](const Args& a) { return message(a, true); }},
        {"close",
         [](const Args& a) {
             if (!PostMessageA(hwnd_arg(a, 1), WM_CLOSE, 0, 0))
                 throw CommandError("PostMessage failed");
             return std::string();
         }},
        {"lb_items", cmd_lb_items},
        {"lb_item_rect", cmd_lb_item_rect},
        {"cb_items", cmd_cb_items},
        {"check", cmd_check},
        {"tv_items", cmd_tv_items},
        {"tv_selected", cmd_tv_selected},
        {"tv_item_rect", cmd_tv_item_rect},
        {"tv_expand", cmd_tv_expand},
        {"pixel", cmd_pixel},
        {"capture", cmd_capture},
        {"reg_get", cmd_reg_get},
        {"reg_set", cmd_reg_set},
        {"reg_delete", cmd_reg_delete},
        {"sys_color", cmd_sys_color},
        {"acc", cmd_acc},
        {"acc_do", cmd_acc_do},
        {"text_extent", cmd_text_extent},
        {"link", cmd_link},
        {"has_task", [](const Args& a) { return cmd_has_task(text_arg(a, 1, "name")); }},
        {"cursor", [](const Args&) { return cursor_json(); }},
        {"move",
         [](const Args& a) {
             mouse_move(point_arg(a, 1));
             return cursor_json();
         }},
        {"click", [](const Args& a) { return cmd_click(a, Button::left, 1); }},
        {"double_click", [](const Args& a) { return cmd_click(a, Button::left, 2); }},
        {"right_click", [](const Args& a) { return cmd_click(a, Button::right, 1); }},
        {"down",
         [](const Args& a) {
             mouse_move(point_arg(a, 1));
             mouse_button(Button::left, true);
             return cursor_json();
         }},
        {"up",
         [](const Args& a) {
             mouse_move(point_arg(a, 1));
             mouse_button(Button::left, false);
             return cursor_json();
         }},
        {"key", cmd_key},
        {"key_down",
         [](const Args& a) {
             key_state(arg(a, 1, "key"), true);
             return std::string();
         }},
        {"key_up",
         [](const Args& a) {
             key_state(arg(a, 1, "key"), false);
             return std::string();
         }},
        {"type",
         [](const Args& a) {
             type_text(text_arg(a, 1, "text"));
             return std::string();
         }},
        {"sleep",
         [](const Args& a) {
             Sleep(static_cast<DWORD>(num(a, 1, "milliseconds")));
             return std::string();
         }},
    };
    return table;
}

void reply(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string one_line(std::string s) {
    for (char& c : s)
        if (c == '\n' || c == '\r')
            c = ' ';
    return s;
}

void use_desktop(const std::string& name) {
    HDESK desk = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!desk || !SetThreadDesktop(desk)) {
        std::fprintf(stderr, "e2e_driver: cannot use desktop %s (error %lu)\n", name.c_str(), GetLastError());
        std::exit(2);
    }
    g.desktop = name;
}

} // namespace
} // namespace e2e

int main(int argc, char** argv) {
    using namespace e2e;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--desktop" && i + 1 < argc)
            use_desktop(argv[++i]);
    }
    g.job = CreateJobObjectA(nullptr, nullptr);
    if (g.job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(g.job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    reply("ok " + json_object({{"ready", json_bool(true)}, {"desktop", json_text(g.desktop)}}));
    std::string line;
    while (std::getline(std::cin, line)) {
        std::vector<std::string> args;
        try {
            args = tokenize(line);
        } catch (const std::exception& e) {
            reply(std::string("err ") + one_line(e.what()));
            continue;
        }
        if (args.empty())
            continue;
        if (args[0] == "quit") {
            reply("ok");
            break;
        }
        auto it = commands().find(args[0]);
        if (it == commands().end()) {
            reply("err unknown command: " + one_line(args[0]));
            continue;
        }
        try {
            std::string result = it->second(args);
            reply(result.empty() ? "ok" : "ok " + result);
        } catch (const std::exception& e) {
            reply(std::string("err ") + one_line(e.what()));
        }
    }
    // Leaving: the job's programs end with it (the harness also ends them itself).
    for (auto& [pid, p] : g.started) {
        if (WaitForSingleObject(p.process, 0) == WAIT_TIMEOUT)
            TerminateProcess(p.process, 255);
        CloseHandle(p.process);
    }
    return 0;
}
