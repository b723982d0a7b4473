// Reading controls of another process. Messages of the common controls (tree view) pass
// pointers that the system does not copy between processes, so their structures live
// in memory allocated inside the program under test.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace e2e {

class RemoteBuffer {
  public:
    RemoteBuffer(HWND owner, size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    void* address() const { return remote_; }
    void write(const void* data, size_t size, size_t offset = 0);
    void read(void* data, size_t size, size_t offset = 0) const;
    // Reads other memory of the same process (best effort; a short read keeps what came).
    void read_foreign(const void* address, void* data, size_t size) const;

  private:
    HANDLE process_ = nullptr;
    void* remote_ = nullptr;
    size_t size_ = 0;
};

struct TreeItem {
    HTREEITEM handle = nullptr;
    std::wstring text;
    UINT state = 0;
    bool has_children = false; // as the item says (cChildren), before any expansion
    RECT rect{};               // label rectangle in client coordinates
    bool rect_valid = false;   // false while the item is scrolled out or under a collapsed parent
};

TreeItem tree_item(HWND tree, HTREEITEM item);
HTREEITEM tree_next(HWND tree, HTREEITEM item, UINT relation);
std::vector<HTREEITEM> tree_children(HWND tree, HTREEITEM parent); // parent null: the roots

// List box item rectangle, client coordinates.
RECT listbox_item_rect(HWND list, int index);

} // namespace e2e
