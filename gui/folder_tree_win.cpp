#include "gui/folder_tree_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <vector>

#include "base/case_fold_win.h"
#include "base/error.h"
#include "base/known_folder_win.h"
#include "base/wildcard.h"
#include "gui/error_report_win.h"

namespace velmaro::gui {

namespace {

struct PidlFree {
    void operator()(ITEMIDLIST* p) const noexcept { CoTaskMemFree(p); }
};
// An item id list from the shell's allocator.
using Pidl = std::unique_ptr<ITEMIDLIST, PidlFree>;

template <typename T> ComPtr<T> share(T* p) {
    ComPtr<T> c;
    if (p) {
        p->AddRef();
        *c.put() = p;
    }
    return c;
}

std::string to_string(STRRET& ret, const ITEMIDLIST* item) {
    char* text = nullptr;
    if (FAILED(StrRetToStrA(&ret, item, &text)) || !text)
        return {};
    std::string s(text);
    CoTaskMemFree(text);
    return s;
}

std::string display_name(IShellFolder* folder, const ITEMIDLIST* item, SHGDNF flags) {
    STRRET ret{};
    if (FAILED(folder->GetDisplayNameOf(item, flags, &ret)))
        return {};
    return to_string(ret, item);
}

bool begins_virtual(const std::string& name) {
    return name.rfind("::{", 0) == 0;
}

std::wstring widen(const std::string& s) {
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(n > 0 ? n : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), n);
    return w;
}

struct ChildFolder {
    Pidl id; // relative to the folder listed
    std::string name;
    bool has_children;
};

// The folder's subfolders to show, in the shell's own order (special folders first, then
// by name); none for no folder. No window for the shell's own messages: an unreadable
// drive just shows no children.
std::vector<ChildFolder> child_folders(IShellFolder* folder) {
    std::vector<ChildFolder> children;
    ComPtr<IEnumIDList> items;
    if (!folder || folder->EnumObjects(nullptr, SHCONTF_FOLDERS, items.put()) != S_OK || !items)
        return children;
    ITEMIDLIST* raw = nullptr;
    while (items->Next(1, &raw, nullptr) == S_OK) {
        Pidl id(raw);
        const ITEMIDLIST* one = id.get();
        SFGAOF attrs = SFGAO_FOLDER | SFGAO_HIDDEN | SFGAO_STREAM | SFGAO_HASSUBFOLDER;
        if (FAILED(folder->GetAttributesOf(1, &one, &attrs)))
            continue;
        // Hidden folders stay out even where a shell lists them; archives that the
        // shell shows as folders are files.
        if (!(attrs & SFGAO_FOLDER) || (attrs & (SFGAO_HIDDEN | SFGAO_STREAM)))
            continue;
        std::string name = display_name(folder, one, SHGDN_INFOLDER);
        children.push_back({std::move(id), std::move(name), (attrs & SFGAO_HASSUBFOLDER) != 0});
    }
    // A stable merge sort stays within bounds even if a folder's comparison is not
    // consistent.
    std::stable_sort(children.begin(), children.end(), [&](const ChildFolder& a, const ChildFolder& b) {
        return static_cast<short>(HRESULT_CODE(folder->CompareIDs(0, a.id.get(), b.id.get()))) < 0;
    });
    return children;
}

} // namespace

struct FolderTree::Node {
    Pidl absolute;               // from the Desktop; empty for the Desktop itself
    ComPtr<IShellFolder> parent; // the folder that holds the item; null for the root
    bool listed = false;         // children read (they are read once)
};

FolderTree::FolderTree() = default;

FolderTree::~FolderTree() {
    // The form that listens may already be half gone, and the items must go while their
    // nodes still exist.
    on_change = nullptr;
    if (hwnd() && IsWindow(hwnd())) {
        RemoveWindowSubclass(hwnd(), &FolderTree::watch_selection, 0);
        TreeView_DeleteAllItems(hwnd());
    }
}

namespace {
// No lines above the root (ShowRoot off); label editing and dragging are not offered,
// since nothing would carry them out on the disk.
constexpr DWORD kTreeStyle =
    WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP;

void open_tree_class() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
}
} // namespace

void FolderTree::create(HWND parent, int x, int y, int w, int h, HFONT font, int id) {
    open_tree_class();
    HWND tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | kTreeStyle, x, y,
                                w, h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleA(nullptr), nullptr);
    if (!tree)
        throw Error("Cannot create the folder tree");
    attach(tree);
    if (font)
        SendMessageA(tree, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    fill();
}

void FolderTree::create(Container& parent, int x, int y, int w, int h, const std::optional<FontSpec>& font) {
    open_tree_class();
    Widget::create(parent, WC_TREEVIEWA, "", kTreeStyle, WS_EX_CLIENTEDGE, x, y, w, h, font);
    fill();
}

void FolderTree::on_dpi_changed() {
    TreeView_SetIndent(hwnd(), scaled(kIndent));
}

void FolderTree::fill() {
    HWND tree = hwnd();
    if (FAILED(SHGetDesktopFolder(desktop_.put())) || !desktop_)
        throw Error("Cannot open the Desktop folder");
    SetWindowSubclass(tree, &FolderTree::watch_selection, 0, reinterpret_cast<DWORD_PTR>(this));
    TreeView_SetIndent(tree, scaled(kIndent));
    auto root = std::make_unique<Node>();
    ITEMIDLIST* desktop_id = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop_id)) || !desktop_id)
        throw Error("Cannot open the Desktop folder");
    root->absolute.reset(desktop_id);

    // The system's small icons; the list belongs to the system and is never destroyed.
    SHFILEINFOA info{};
    auto icons = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(reinterpret_cast<LPCSTR>(desktop_id), 0, &info, sizeof info,
                       SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (icons)
        TreeView_SetImageList(tree, icons, TVSIL_NORMAL);

    std::string name = display_name(desktop_.get(), desktop_id, SHGDN_NORMAL);
    root_ = insert(TVI_ROOT, std::move(root), name, true);
    if (!root_)
        throw Error("Cannot create the folder tree");
    TreeView_Expand(tree, root_, TVE_EXPAND);
    TreeView_SelectItem(tree, root_);
}

HTREEITEM FolderTree::insert(HTREEITEM parent, std::unique_ptr<Node> node, const std::string& text,
                             bool has_children) {
    Node* raw = node.get();
    nodes_.emplace(raw, std::move(node));
    TVINSERTSTRUCTA ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    ins.item.pszText = const_cast<char*>(text.c_str());
    // Icons are looked up when a node is first drawn: a folder may hold thousands of
    // subfolders, most never scrolled into view.
    ins.item.iImage = I_IMAGECALLBACK;
    ins.item.iSelectedImage = I_IMAGECALLBACK;
    ins.item.cChildren = has_children ? 1 : 0;
    ins.item.lParam = reinterpret_cast<LPARAM>(raw);
    auto item =
        reinterpret_cast<HTREEITEM>(SendMessageA(hwnd(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    if (!item)
        nodes_.erase(raw);
    return item;
}

void FolderTree::expand_node(HTREEITEM item) {
    Node* node = node_of(item);
    if (!node || node->listed)
        return;
    node->listed = true;

    ComPtr<IShellFolder> folder;
    if (item == root_)
        folder = share(desktop_.get());
    else
        desktop_->BindToObject(node->absolute.get(), nullptr, IID_IShellFolder,
                               reinterpret_cast<void**>(folder.put()));

    const std::vector<ChildFolder> children = child_folders(folder.get());
    for (const ChildFolder& c : children) {
        auto child = std::make_unique<Node>();
        child->absolute.reset(ILCombine(node->absolute.get(), c.id.get()));
        if (!child->absolute)
            continue;
        child->parent = share(folder.get());
        insert(item, std::move(child), c.name, c.has_children);
    }
    if (children.empty()) {
        // Nothing to show after all: drop the expand button.
        TVITEMA tv{};
        tv.mask = TVIF_CHILDREN;
        tv.hItem = item;
        tv.cChildren = 0;
        SendMessageA(hwnd(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    }
}

void FolderTree::fill_display_info(NMTVDISPINFOA& info) {
    Node* node = node_of(info.item.hItem);
    if (!node)
        return;
    SHFILEINFOA sfi{};
    auto path = reinterpret_cast<LPCSTR>(node->absolute.get());
    const UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    if (info.item.mask & TVIF_IMAGE) {
        if (SHGetFileInfoA(path, 0, &sfi, sizeof sfi, flags))
            info.item.iImage = sfi.iIcon;
    }
    if (info.item.mask & TVIF_SELECTEDIMAGE) {
        if (SHGetFileInfoA(path, 0, &sfi, sizeof sfi, flags | SHGFI_OPENICON))
            info.item.iSelectedImage = sfi.iIcon;
    }
    info.item.mask |= TVIF_DI_SETITEM; // keep them: ask the shell once per node
}

FolderTree::Node* FolderTree::node_of(HTREEITEM item) const {
    if (!item || !hwnd())
        return nullptr;
    TVITEMA tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (!SendMessageA(hwnd(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)))
        return nullptr;
    auto* node = reinterpret_cast<Node*>(tv.lParam);
    return nodes_.count(node) ? node : nullptr;
}

std::string FolderTree::item_text(HTREEITEM item) const {
    // A name of up to MAX_PATH UTF-16 units takes up to three bytes for each in UTF-8.
    char buf[MAX_PATH * 3 + 1] = {};
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = buf;
    tv.cchTextMax = sizeof buf;
    SendMessageA(hwnd(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return tv.pszText ? std::string(tv.pszText) : std::string();
}

std::string FolderTree::parsing_name(const Node& node) const {
    if (!node.parent) {
        std::string name = display_name(desktop_.get(), node.absolute.get(), SHGDN_FORPARSING);
        if (!name.empty() && !begins_virtual(name))
            return name;
        // The Desktop stands for the user's desktop folder on the disk.
        std::string path = known_folder_path(FOLDERID_Desktop);
        return path.empty() ? name : path;
    }
    return display_name(node.parent.get(), ILFindLastID(node.absolute.get()), SHGDN_FORPARSING);
}

std::string FolderTree::selected_path() const {
    if (!hwnd())
        return {};
    HTREEITEM item = TreeView_GetSelection(hwnd());
    Node* node = node_of(item);
    if (!node)
        return {};
    std::string name = parsing_name(*node);
    if (name.empty() || begins_virtual(name))
        return item_text(item);
    return name;
}

bool FolderTree::select_path(const std::string& path) {
    if (!root_ || path.empty())
        return false;
    Node* root = node_of(root_);
    if (root && equal_nocase(parsing_name(*root), path, system_case_fold())) {
        TreeView_SelectItem(hwnd(), root_);
        return true;
    }
    std::wstring wide = widen(path);
    ITEMIDLIST* raw = nullptr;
    if (FAILED(desktop_->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &raw, nullptr)) || !raw)
        return false;
    Pidl target(raw);

    // Down from the root, through the child that holds the target at each level.
    HTREEITEM item = root_;
    for (;;) {
        TreeView_Expand(hwnd(), item, TVE_EXPAND);
        HTREEITEM next = nullptr;
        for (HTREEITEM child = TreeView_GetChild(hwnd(), item); child && !next;
             child = TreeView_GetNextSibling(hwnd(), child)) {
            Node* node = node_of(child);
            if (!node)
                continue;
            if (ILIsEqual(node->absolute.get(), target.get())) {
                TreeView_SelectItem(hwnd(), child);
                return true;
            }
            if (ILIsParent(node->absolute.get(), target.get(), FALSE))
                next = child;
        }
        if (!next)
            return false;
        item = next;
    }
}

// Some trees move the selection without a word: Wine's, when a node above the selection
// is collapsed with its button. After each message the tree has handled, a move that no
// notification announced is announced here.
LRESULT CALLBACK FolderTree::watch_selection(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                             DWORD_PTR self) {
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &FolderTree::watch_selection, 0);
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    bool watched = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_KEYDOWN || msg == WM_CHAR ||
                   msg == TVM_EXPAND;
    if (!watched)
        return DefSubclassProc(hwnd, msg, wp, lp);
    auto* tree = reinterpret_cast<FolderTree*>(self);
    ++tree->watch_depth_;
    LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
    // Only once the outermost of them is done: the tree may be between a move and its
    // notification inside.
    if (--tree->watch_depth_ == 0 && tree->root_)
        guarded([&] { tree->selection_changed(TreeView_GetSelection(hwnd), false); });
    return result;
}

void FolderTree::selection_changed(HTREEITEM now, bool reported_by_tree) {
    if (!reported_by_tree && now == reported_)
        return;
    reported_ = now;
    if (on_change)
        on_change();
}

bool FolderTree::on_notify(NMHDR& header, LRESULT& result) {
    // The tree speaks ANSI or wide depending on its parent; the parts read here are the
    // same in both.
    switch (header.code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        auto& nm = reinterpret_cast<NMTREEVIEWA&>(header);
        if ((nm.action & (TVE_EXPAND | TVE_COLLAPSE)) == TVE_EXPAND)
            expand_node(nm.itemNew.hItem);
        result = FALSE;
        return true;
    }
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        selection_changed(reinterpret_cast<NMTREEVIEWA&>(header).itemNew.hItem, true);
        return true;
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW: {
        auto& nm = reinterpret_cast<NMTREEVIEWA&>(header);
        nodes_.erase(reinterpret_cast<Node*>(nm.itemOld.lParam));
        return true;
    }
    case TVN_GETDISPINFOA:
    case TVN_GETDISPINFOW:
        fill_display_info(reinterpret_cast<NMTVDISPINFOA&>(header));
        return true;
    default:
        return false;
    }
}

} // namespace velmaro::gui
