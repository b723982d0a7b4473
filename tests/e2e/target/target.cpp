// e2e_target: a small window with the usual controls that records what reaches it, so the
// harness's own test can check that the driver's real input lands where it should
// (clicks, hover, double clicks, keys, menus by keyboard, list, combo, check box, tree,
// message box, pixels) before the harness is trusted with Velmaro.
// Every event goes as one line into the log list box (id 200), which the test reads.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

enum : int {
    kMenuMessage = 101,
    kMenuPlain = 102,
    kMenuExit = 103,
    kAccelSave = 110,
    kAccelF5 = 111,
    kLog = 200,
    kList = 201,
    kCombo = 202,
    kCheck = 203,
    kEdit = 204,
    kTree = 205,
    kHover = 206,
};

HWND g_log = nullptr;
HWND g_tree = nullptr;
bool g_inside = false;

void log(const std::string& line) {
    if (g_log)
        SendMessageA(g_log, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

LRESULT CALLBACK hover_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MOUSEMOVE:
        if (!g_inside) {
            g_inside = true;
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, h, 0};
            TrackMouseEvent(&tme);
            log("hover enter");
        }
        return 0;
    case WM_MOUSELEAVE:
        g_inside = false;
        log("hover leave");
        return 0;
    case WM_LBUTTONDOWN:
        log("hover down " + std::to_string(LOWORD(lp)) + " " + std::to_string(HIWORD(lp)));
        return 0;
    case WM_LBUTTONUP:
        log("hover up");
        return 0;
    case WM_LBUTTONDBLCLK:
        log("hover double");
        return 0;
    case WM_RBUTTONUP:
        log("hover right");
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        RECT r;
        GetClientRect(h, &r);
        FillRect(dc, &r, red);
        DeleteObject(red);
        EndPaint(h, &ps);
        return 0;
    }
    }
    return DefWindowProcA(h, msg, wp, lp);
}

HTREEITEM add_node(HTREEITEM parent, const char* text, int children) {
    TVINSERTSTRUCTA ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_CHILDREN;
    ins.item.pszText = const_cast<char*>(text);
    ins.item.cChildren = children;
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(g_tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

std::string node_text(HTREEITEM item) {
    char buf[256]{};
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = buf;
    tv.cchTextMax = sizeof buf;
    SendMessageA(g_tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return buf;
}

HMENU make_menu() {
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, kMenuMessage, "&Message");
    AppendMenuA(file, MF_STRING, kMenuPlain, "Plain item\tCtrl+S");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kMenuExit, "E&xit");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    return bar;
}

HWND child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
           DWORD ex = 0) {
    return CreateWindowExA(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                           nullptr);
}

void create_controls(HWND h) {
    g_log = child(h, "LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 300, 8, 190, 330, kLog);
    HWND list =
        child(h, "LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 8, 8,
              120, 90, kList);
    for (int i = 0; i < 30; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("item " + std::to_string(i)).c_str()));
    HWND combo = child(h, "COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, 140, 8, 140, 120, kCombo);
    for (const char* s : {"Tile", "Center", "Strech"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    child(h, "BUTTON", "&Random", WS_TABSTOP | BS_AUTOCHECKBOX, 140, 40, 140, 20, kCheck);
    child(h, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 140, 70, 140, 22, kEdit);
    g_tree =
        child(h, "SysTreeView32", "",
              WS_BORDER | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS, 8,
              110, 120, 120, kTree);
    HTREEITEM a = add_node(TVI_ROOT, "Alpha", 1);
    add_node(a, "Alpha one", 0);
    add_node(a, "Alpha two", 0);
    add_node(TVI_ROOT, "Beta", 1); // filled when first expanded, as a shell tree does
    for (int i = 0; i < 12; ++i)
        add_node(TVI_ROOT, ("Filler " + std::to_string(i)).c_str(), 0);
    add_node(TVI_ROOT, "Last", 0);
    child(h, "E2EHover", "", 0, 140, 110, 80, 30, kHover);
}

void on_command(HWND h, int id, int code, HWND ctl) {
    switch (id) {
    case kMenuMessage: {
        int r = MessageBoxA(h, "Proceed with the test?", "Question", MB_YESNO | MB_ICONQUESTION);
        log("message " + std::to_string(r));
        return;
    }
    case kMenuPlain:
        log("menu plain");
        return;
    case kMenuExit:
        DestroyWindow(h);
        return;
    case kAccelSave:
        log("accel ctrl+s");
        return;
    case kAccelF5:
        log("accel f5");
        return;
    case kList:
        if (code == LBN_SELCHANGE)
            log("list " + std::to_string(SendMessageA(ctl, LB_GETCURSEL, 0, 0)));
        if (code == LBN_DBLCLK)
            log("list double");
        return;
    case kCombo:
        if (code == CBN_SELCHANGE)
            log("combo " + std::to_string(SendMessageA(ctl, CB_GETCURSEL, 0, 0)));
        return;
    case kCheck:
        if (code == BN_CLICKED)
            log("check " + std::to_string(SendMessageA(ctl, BM_GETCHECK, 0, 0)));
        return;
    case kEdit:
        if (code == EN_SETFOCUS)
            log("edit focus");
        return;
    }
}

LRESULT on_notify(NMHDR* n) {
    if (n->idFrom != kTree)
        return 0;
    if (n->code == TVN_SELCHANGEDA)
        log("tree " + node_text(reinterpret_cast<NMTREEVIEWA*>(n)->itemNew.hItem));
    if (n->code == TVN_ITEMEXPANDINGA) {
        auto* tv = reinterpret_cast<NMTREEVIEWA*>(n);
        if (tv->action == TVE_EXPAND && node_text(tv->itemNew.hItem) == "Beta" &&
            !SendMessageA(g_tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(tv->itemNew.hItem)))
            add_node(tv->itemNew.hItem, "Beta one", 0);
    }
    return 0;
}

LRESULT CALLBACK main_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        create_controls(h);
        return 0;
    case WM_COMMAND:
        on_command(h, LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return 0;
    case WM_NOTIFY:
        return on_notify(reinterpret_cast<NMHDR*>(lp));
    case WM_CLOSE:
        log("close");
        DestroyWindow(h);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(7);
        return 0; // 7: the test checks that exit codes come through
    }
    return DefWindowProcA(h, msg, wp, lp);
}

} // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR cmdline, int show) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc{};
    wc.lpfnWndProc = main_proc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "E2ETarget";
    RegisterClassA(&wc);
    wc.lpfnWndProc = hover_proc;
    wc.style = CS_DBLCLKS;
    wc.lpszClassName = "E2EHover";
    RegisterClassA(&wc);
    // A tool window, like the program's own: Wine draws its caption even without a
    // window manager, so its close box can be clicked.
    HWND h = CreateWindowExA(WS_EX_TOOLWINDOW, "E2ETarget", "E2E target", WS_OVERLAPPEDWINDOW, 100, 100, 510,
                             400, nullptr, make_menu(), inst, nullptr);
    char cwd[MAX_PATH]{};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    log(std::string("args ") + cmdline);
    log(std::string("cwd ") + cwd);
    ShowWindow(h, show);
    ACCEL accels[] = {{FCONTROL | FVIRTKEY, 'S', kAccelSave}, {FVIRTKEY, VK_F5, kAccelF5}};
    HACCEL table = CreateAcceleratorTableA(accels, 2);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(h, table, &m))
            continue;
        if (IsDialogMessageA(h, &m))
            continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return static_cast<int>(m.wParam);
}
