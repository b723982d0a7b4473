// The folder tree over the shell's namespace: the Desktop as its only root, folders only
// (file-system folders, drives and the shell's virtual folders; never files, never hidden
// folders), with the shell's names and icons. A node's children are read when it is first
// expanded; later changes on disk are not followed.
#pragma once

#include <shlobj.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "gui/container_win.h"
#include "gui/widget_win.h"

namespace velmaro::gui {

class FolderTree : public Widget {
  public:
    static constexpr int kIndent = 19;

    FolderTree();
    ~FolderTree() override;

    // Builds the tree: adds the Desktop root, expands it one level and selects it, which
    // raises on_change once, so set on_change before calling this. Needs COM on this
    // thread. In a form or panel, with the container's font unless one is given:
    void create(Container& parent, int x, int y, int w, int h,
                const std::optional<FontSpec>& font = std::nullopt);
    // In any window (`font` is not owned):
    void create(HWND parent, int x, int y, int w, int h, HFONT font, int id = 0);

    // The selected node's folder: the shell's parsing name of its item (a file-system
    // folder's full path; for the Desktop root the path of the user's desktop folder),
    // or, when that name begins with "::{" (a virtual folder), the node's display name.
    // Empty with no node selected.
    std::string selected_path() const;

    // Expands the tree down to a folder given by its parsing name (a full path, or a
    // "::{...}" name) and selects it, raising on_change. False when it cannot be reached.
    bool select_path(const std::string& path);

    // After every move of the selection (mouse, keyboard or program), once it has moved.
    std::function<void()> on_change;

    bool on_notify(NMHDR& header, LRESULT& result) override;

  protected:
    void on_dpi_changed() override;

  private:
    struct Node;

    void fill();
    HTREEITEM insert(HTREEITEM parent, std::unique_ptr<Node> node, const std::string& text,
                     bool has_children);
    void expand_node(HTREEITEM item);
    static LRESULT CALLBACK watch_selection(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                            DWORD_PTR self);
    void selection_changed(HTREEITEM now, bool reported_by_tree);
    void fill_display_info(NMTVDISPINFOA& info);
    Node* node_of(HTREEITEM item) const;
    std::string item_text(HTREEITEM item) const;
    std::string parsing_name(const Node& node) const;

    ComPtr<IShellFolder> desktop_;
    HTREEITEM root_ = nullptr;
    HTREEITEM reported_ = nullptr; // the selection that on_change last announced
    int watch_depth_ = 0;
    // The tree's items point at these; an entry goes when the tree deletes its item, and
    // whatever is left goes with the widget.
    std::unordered_map<Node*, std::unique_ptr<Node>> nodes_;
};

} // namespace velmaro::gui
