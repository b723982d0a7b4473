#include "gui/folder_tree_win.h"

#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/case_fold_win.h"
#include "base/wildcard.h"
#include "widgets_host.h"

namespace velmaro::gui {
namespace {

using test::TempFolder;
using test::WidgetsHost;

constexpr char kMyComputer[] = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

class FolderTreeTest : public ::testing::Test {
  protected:
    void build() {
        tree.on_change = [this] { ++changes; };
        tree.create(host.hwnd(), 8, 16, 185, 161, nullptr);
    }
    HWND tv() const { return tree.hwnd(); }
    HTREEITEM root() const { return TreeView_GetRoot(tv()); }
    HTREEITEM selection() const { return TreeView_GetSelection(tv()); }

    std::string text(HTREEITEM item) const {
        char buf[520] = {};
        TVITEMA it{};
        it.mask = TVIF_TEXT;
        it.hItem = item;
        it.pszText = buf;
        it.cchTextMax = sizeof buf;
        SendMessageA(tv(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
        return buf;
    }
    std::vector<HTREEITEM> children(HTREEITEM item) const {
        std::vector<HTREEITEM> out;
        for (HTREEITEM c = TreeView_GetChild(tv(), item); c; c = TreeView_GetNextSibling(tv(), c))
            out.push_back(c);
        return out;
    }
    std::vector<std::string> child_names(HTREEITEM item) const {
        std::vector<std::string> out;
        for (HTREEITEM c : children(item))
            out.push_back(text(c));
        return out;
    }
    HTREEITEM child_named(HTREEITEM item, const std::string& name) const {
        for (HTREEITEM c : children(item))
            if (text(c) == name)
                return c;
        return nullptr;
    }
    void click(HTREEITEM item, UINT down, UINT up) {
        RECT r{};
        ASSERT_TRUE(TreeView_GetItemRect(tv(), item, &r, TRUE));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        // The tree watches for a drag until the button comes up, so queue the release first.
        PostMessageA(tv(), up, 0, at);
        SendMessageA(tv(), down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, at);
        WidgetsHost::pump();
    }

    ComScope com;
    WidgetsHost host;
    FolderTree tree;
    int changes = 0;
};

std::string shell_name(const char* parsing, SHGDNF flags) {
    ComPtr<IShellFolder> desktop;
    SHGetDesktopFolder(desktop.put());
    std::wstring wide(parsing, parsing + strlen(parsing));
    ITEMIDLIST* id = nullptr;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &id, nullptr)))
        return {};
    STRRET ret{};
    char buf[MAX_PATH] = {};
    if (SUCCEEDED(desktop->GetDisplayNameOf(id, flags, &ret)))
        StrRetToBufA(&ret, id, buf, MAX_PATH);
    CoTaskMemFree(id);
    return buf;
}

std::string desktop_display_name() {
    ComPtr<IShellFolder> desktop;
    SHGetDesktopFolder(desktop.put());
    ITEMIDLIST* id = nullptr;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &id);
    STRRET ret{};
    char buf[MAX_PATH] = {};
    if (SUCCEEDED(desktop->GetDisplayNameOf(id, SHGDN_NORMAL, &ret)))
        StrRetToBufA(&ret, id, buf, MAX_PATH);
    CoTaskMemFree(id);
    return buf;
}

TEST_F(FolderTreeTest, DesktopIsTheOnlyRootExpandedAndSelectedOnce) {
    build();
    EXPECT_EQ(changes, 1) << "the root's selection at creation is a change like any other";
    ASSERT_NE(root(), nullptr);
    EXPECT_EQ(TreeView_GetNextSibling(tv(), root()), nullptr);
    EXPECT_EQ(text(root()), desktop_display_name());
    EXPECT_EQ(selection(), root());
    EXPECT_TRUE(TreeView_GetItemState(tv(), root(), TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_FALSE(children(root()).empty());

    char desktop_dir[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(
        SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop_dir)));
    EXPECT_TRUE(equal_nocase(tree.selected_path(), desktop_dir))
        << tree.selected_path() << " vs " << desktop_dir;

    EXPECT_EQ(TreeView_GetIndent(tv()), FolderTree::kIndent);
    EXPECT_FALSE(GetWindowLongA(tv(), GWL_STYLE) & TVS_LINESATROOT);
    EXPECT_NE(TreeView_GetImageList(tv(), TVSIL_NORMAL), nullptr);
}

TEST_F(FolderTreeTest, DesktopLevelHoldsNoFilesAndNoHiddenFolders) {
    char desktop_dir[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(
        SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop_dir)));
    const std::string dir = desktop_dir;
    const std::string shown = dir + "\\velmaro-tree-shown";
    const std::string hidden = dir + "\\velmaro-tree-hidden";
    const std::string file = dir + "\\velmaro-tree-file.jpg";
    ASSERT_TRUE(CreateDirectoryA(shown.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CreateDirectoryA(hidden.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);

    build();
    auto names = child_names(root());
    auto has = [&](const char* name) { return std::find(names.begin(), names.end(), name) != names.end(); };
    EXPECT_TRUE(has("velmaro-tree-shown")) << "the Desktop folder's own folders are listed";
    EXPECT_FALSE(has("velmaro-tree-hidden"));
    EXPECT_FALSE(has("velmaro-tree-file.jpg"));
    EXPECT_FALSE(has("velmaro-tree-file"));
    for (HTREEITEM c : children(root())) {
        TreeView_SelectItem(tv(), c);
        std::string path = tree.selected_path();
        DWORD attrs = GetFileAttributesA(path.c_str());
        if (attrs == INVALID_FILE_ATTRIBUTES)
            continue; // a virtual folder
        EXPECT_TRUE(attrs & FILE_ATTRIBUTE_DIRECTORY) << path;
        EXPECT_FALSE(attrs & FILE_ATTRIBUTE_HIDDEN) << path;
    }
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(hidden.c_str());
    RemoveDirectoryA(shown.c_str());
    DeleteFileA(file.c_str());
}

TEST_F(FolderTreeTest, VirtualFolderGivesItsDisplayName) {
    build();
    std::string name = shell_name(kMyComputer, SHGDN_INFOLDER);
    ASSERT_FALSE(name.empty());
    HTREEITEM computer = child_named(root(), name);
    ASSERT_NE(computer, nullptr) << "no " << name << " under the Desktop";

    TreeView_SelectItem(tv(), computer);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(tree.selected_path(), name);

    // Its drives are real folders again: "C:\" and the like.
    TreeView_Expand(tv(), computer, TVE_EXPAND);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    bool found_system_drive = false;
    for (HTREEITEM drive : children(computer)) {
        TreeView_SelectItem(tv(), drive);
        if (equal_nocase(tree.selected_path(), std::string(windows, 3)))
            found_system_drive = true;
    }
    EXPECT_TRUE(found_system_drive);
}

TEST_F(FolderTreeTest, FolderLevelsShowFoldersOnlyReadOnExpand) {
    TempFolder dir("velmaro-tree");
    dir.folder("Alpha");
    dir.folder("Alpha\\Inner");
    dir.folder("beta");
    dir.folder("x.jpg");
    dir.folder("Secret", FILE_ATTRIBUTE_HIDDEN);
    dir.folder("Empty");
    dir.file("picture.jpg");
    build();

    ASSERT_TRUE(tree.select_path(dir.path()));
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(equal_nocase(tree.selected_path(), dir.path())) << tree.selected_path();
    HTREEITEM folder = selection();
    EXPECT_TRUE(children(folder).empty()) << "children are read when the node is expanded";

    TreeView_Expand(tv(), folder, TVE_EXPAND);
    auto names = child_names(folder);
    std::sort(names.begin(), names.end(), [](auto& a, auto& b) { return name_less(a, b); });
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "Empty", "x.jpg"}));
    EXPECT_EQ(changes, 2) << "expanding does not move the selection";

    // An empty folder loses its expand button once it has been looked into.
    HTREEITEM empty = child_named(folder, "Empty");
    ASSERT_NE(empty, nullptr);
    TreeView_Expand(tv(), empty, TVE_EXPAND);
    TVITEMA it{};
    it.mask = TVIF_CHILDREN;
    it.hItem = empty;
    TreeView_GetItem(tv(), &it);
    EXPECT_EQ(it.cChildren, 0);

    // The tree does not follow the disk by itself.
    HTREEITEM alpha = child_named(folder, "Alpha");
    ASSERT_NE(alpha, nullptr);
    TreeView_Expand(tv(), alpha, TVE_EXPAND);
    dir.folder("Alpha\\Later");
    WidgetsHost::pump();
    EXPECT_EQ(child_names(alpha), (std::vector<std::string>{"Inner"}));

    ASSERT_TRUE(tree.select_path(dir / "Alpha\\Inner"));
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(equal_nocase(tree.selected_path(), dir / "Alpha\\Inner"));
    EXPECT_FALSE(tree.select_path(dir / "no such folder"));
    EXPECT_EQ(changes, 3);

    // The desktop folder's own path leads back to the root.
    char desktop[MAX_PATH];
    ASSERT_TRUE(
        SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop)));
    ASSERT_TRUE(tree.select_path(desktop));
    EXPECT_EQ(selection(), root());
    EXPECT_EQ(changes, 4);
}

TEST_F(FolderTreeTest, ChangeAfterEveryMoveButNotOnRightClick) {
    TempFolder dir("velmaro-tree-moves");
    dir.folder("one");
    dir.folder("two");
    build();
    ASSERT_TRUE(tree.select_path(dir / "one"));
    HTREEITEM one = selection();
    HTREEITEM two = TreeView_GetNextSibling(tv(), one);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(text(two), "two");
    int before = changes;

    // The path is already the new one when the event runs.
    std::string seen;
    tree.on_change = [&] {
        ++changes;
        seen = tree.selected_path();
    };
    click(two, WM_RBUTTONDOWN, WM_RBUTTONUP);
    EXPECT_EQ(selection(), one);
    EXPECT_EQ(changes, before);

    click(two, WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_EQ(selection(), two);
    EXPECT_EQ(changes, before + 1);
    EXPECT_TRUE(equal_nocase(seen, dir / "two"));

    SetFocus(tv());
    SendMessageA(tv(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(selection(), one);
    EXPECT_EQ(changes, before + 2);
    EXPECT_TRUE(equal_nocase(seen, dir / "one"));

    // Collapsing a node above the selection with its button moves the selection up to it.
    HTREEITEM parent = TreeView_GetParent(tv(), one);
    RECT r{};
    ASSERT_TRUE(TreeView_GetItemRect(tv(), parent, &r, TRUE));
    TVHITTESTINFO hit{};
    hit.pt.y = (r.top + r.bottom) / 2;
    for (hit.pt.x = 0; hit.pt.x < r.left; ++hit.pt.x) {
        TreeView_HitTest(tv(), &hit);
        if (hit.flags & TVHT_ONITEMBUTTON)
            break;
    }
    ASSERT_TRUE(hit.flags & TVHT_ONITEMBUTTON);
    EXPECT_EQ(hit.hItem, parent);
    LPARAM at = MAKELPARAM(hit.pt.x, hit.pt.y);
    PostMessageA(tv(), WM_LBUTTONUP, 0, at);
    SendMessageA(tv(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    WidgetsHost::pump();
    EXPECT_FALSE(TreeView_GetItemState(tv(), parent, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(selection(), parent);
    EXPECT_EQ(changes, before + 3);
    EXPECT_TRUE(equal_nocase(seen, dir.path()));

    TreeView_SelectItem(tv(), nullptr);
    EXPECT_EQ(tree.selected_path(), "");
}

} // namespace
} // namespace velmaro::gui
