#include "gui/file_list_win.h"

#include <shlwapi.h>

#include "base/case_fold_win.h"
#include "base/error.h"
#include "base/path.h"
#include "base/wildcard.h"

namespace velmaro::gui {

namespace {

bool ends_with_separator(const std::string& s) {
    return !s.empty() && (s.back() == '\\' || s.back() == '/');
}

// "C:\Pics\" -> "C:\Pics", but a drive's root keeps its separator ("C:\").
std::string without_trailing_separator(std::string s) {
    while (s.size() > 1 && ends_with_separator(s) && !(s.size() == 3 && s[1] == ':'))
        s.pop_back();
    return s;
}

bool is_folder(const std::string& path) {
    DWORD attrs = GetFileAttributesA(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}

std::string working_directory() {
    DWORD need = GetCurrentDirectoryA(0, nullptr);
    std::string dir(need, '\0');
    DWORD got = GetCurrentDirectoryA(need, dir.data());
    dir.resize(got < need ? got : 0);
    return without_trailing_separator(dir);
}

// A find handle, closed with FindClose (not CloseHandle).
class FindScope {
  public:
    explicit FindScope(HANDLE h) : h_(h) {}
    ~FindScope() {
        if (h_ != INVALID_HANDLE_VALUE)
            FindClose(h_);
    }
    FindScope(const FindScope&) = delete;
    FindScope& operator=(const FindScope&) = delete;
    HANDLE get() const { return h_; }

  private:
    HANDLE h_;
};

constexpr DWORD kSkipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

} // namespace

std::vector<std::string> list_picture_files(const std::string& folder,
                                            const std::vector<std::string>& patterns) {
    const CaseFold& fold = system_case_fold();
    std::vector<std::string> names;
    // One pass over the folder, each long name tried against the patterns in their order,
    // finds exactly the files that one search per pattern would once its short-name
    // matches ("*.jpg" finds "x.jpgx" as "X~1.JPG") are dropped, and reads a large folder
    // once instead of once per pattern.
    WIN32_FIND_DATAA found;
    // The basic information level skips the short names, which we never use.
    FindScope find(FindFirstFileExA(join_path(folder, "*").c_str(), FindExInfoBasic, &found,
                                    FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (find.get() != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & kSkipped)
                continue;
            for (const std::string& pattern : patterns) {
                if (wildcard_match(pattern, found.cFileName,
                                   fold)) { // "" (after the last ";") matches nothing
                    names.emplace_back(found.cFileName);
                    break;
                }
            }
        } while (FindNextFileA(find.get(), &found));
    }
    std::sort(names.begin(), names.end(), file_name_less);
    return names;
}

bool file_name_less(const std::string& a, const std::string& b) {
    int order = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                               b.data(), static_cast<int>(b.size()));
    // Names equal but for case keep one order every time: by their bytes, so "A.jpg"
    // comes before "a.jpg". (The comparison fails only for bad arguments.)
    if (order == CSTR_EQUAL || order == 0)
        return a < b;
    return order == CSTR_LESS_THAN;
}

FileList::FileList(std::string mask)
    : mask_(std::move(mask)), patterns_(split_mask(mask_)), folder_(working_directory()) {}

namespace {
constexpr DWORD kListStyle = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY;
}

void FileList::create(HWND parent, int x, int y, int w, int h, HFONT font, int id) {
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | kListStyle, x, y, w,
                                h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleA(nullptr), nullptr);
    if (!list)
        throw Error("Cannot create the file list");
    attach(list);
    if (font)
        SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    finish_create(w, h);
}

void FileList::create(Container& parent, int x, int y, int w, int h, const std::optional<FontSpec>& font) {
    Widget::create(parent, "LISTBOX", "", kListStyle, WS_EX_CLIENTEDGE, x, y, w, h, font);
    finish_create(w, h);
}

void FileList::finish_create(int w, int h) {
    design_size_ = SIZE{w, h};
    on_dpi_changed();
    refresh();
}

void FileList::on_dpi_changed() {
    // After the font: a new font resets the line height.
    const int line = scaled(kItemHeight);
    SendMessageA(hwnd(), LB_SETITEMHEIGHT, 0, line);
    // The box fits its height to whole lines when it is sized, so size it again now that
    // the line height is final. Scaled, it keeps the design's number of whole lines: the
    // rounded line height must not cost the last of them.
    int height = scaled(design_size_.cy);
    if (scaled(kItemHeight) != kItemHeight) {
        RECT outer{}, client{};
        GetWindowRect(hwnd(), &outer);
        GetClientRect(hwnd(), &client);
        const int frame = (outer.bottom - outer.top) - client.bottom;
        const int design_lines = (design_size_.cy - MulDiv(frame, kDesignDpi, dpi())) / kItemHeight;
        if (design_lines > 0)
            height = design_lines * line + frame;
    }
    SetWindowPos(hwnd(), nullptr, 0, 0, scaled(design_size_.cx), height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {
// "C:\..." or "\\server\share...": anything else ("Recycle Bin", "sub", "\Pics", "C:Pics")
// would depend on a current folder or drive.
bool is_full_path(const std::string& p) {
    bool drive = p.size() >= 3 && p[1] == ':' && (p[2] == '\\' || p[2] == '/');
    return drive || PathIsUNCA(p.c_str());
}
} // namespace

std::string FileList::normalized(const std::string& path) {
    std::string full = path;
    DWORD need = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (need > 0) {
        std::string buf(need, '\0');
        DWORD got = GetFullPathNameA(path.c_str(), need, buf.data(), nullptr);
        if (got > 0 && got < need)
            full.assign(buf, 0, got);
    }
    return without_trailing_separator(full);
}

void FileList::show_folder(const std::string& path) {
    const CaseFold& fold = system_case_fold();
    if (path.empty() || equal_nocase(path, selected_file_path(), fold))
        return;
    if (is_full_path(path)) {
        std::string target = normalized(path);
        if (equal_nocase(target, folder_, fold))
            return;
        if (is_folder(target))
            folder_ = std::move(target);
    }
    refresh();
}

void FileList::refresh() {
    if (!hwnd())
        return;
    std::vector<std::string> names = list_picture_files(folder_, patterns_);
    size_t bytes = 0;
    for (const auto& n : names)
        bytes += n.size() + 1;

    HWND list = hwnd();
    // Redraw off while filling: with it on, tens of thousands of lines take many seconds.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    SendMessageA(list, LB_INITSTORAGE, names.size(), bytes);
    for (const auto& n : names)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n.c_str()));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void FileList::set_mask(const std::string& mask) {
    if (mask == mask_)
        return;
    mask_ = mask;
    patterns_ = split_mask(mask_);
    refresh();
}

void FileList::clear() {
    if (hwnd())
        SendMessageA(hwnd(), LB_RESETCONTENT, 0, 0);
}

int FileList::count() const {
    return hwnd() ? static_cast<int>(SendMessageA(hwnd(), LB_GETCOUNT, 0, 0)) : 0;
}

int FileList::item_index() const {
    if (!hwnd())
        return -1;
    LRESULT sel = SendMessageA(hwnd(), LB_GETCURSEL, 0, 0);
    return sel == LB_ERR ? -1 : static_cast<int>(sel);
}

void FileList::set_item_index(int i) {
    if (!hwnd())
        return;
    if (i < 0 || i >= count())
        i = -1;
    SendMessageA(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(i), 0);
}

std::string FileList::item(int i) const {
    return list_item_text(hwnd(), i);
}

std::string FileList::selected_file_path() const {
    int sel = item_index();
    return sel < 0 ? std::string() : join_path(folder_, item(sel));
}

bool FileList::on_command(WORD code) {
    if (code != LBN_SELCHANGE)
        return false;
    if (on_click)
        on_click();
    return true;
}

} // namespace velmaro::gui
