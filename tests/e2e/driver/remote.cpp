#include "remote.h"

#include "protocol.h"

#include <cstring>

namespace e2e {

RemoteBuffer::RemoteBuffer(HWND owner, size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process_)
        throw CommandError("cannot open the window's process");
    remote_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote_) {
        CloseHandle(process_);
        throw CommandError("cannot allocate memory in the window's process");
    }
}

RemoteBuffer::~RemoteBuffer() {
    VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
    CloseHandle(process_);
}

void RemoteBuffer::write(const void* data, size_t size, size_t offset) {
    SIZE_T done = 0;
    if (offset + size > size_ ||
        !WriteProcessMemory(process_, static_cast<char*>(remote_) + offset, data, size, &done) ||
        done != size)
        throw CommandError("cannot write the window's process memory");
}

void RemoteBuffer::read(void* data, size_t size, size_t offset) const {
    SIZE_T done = 0;
    if (offset + size > size_ ||
        !ReadProcessMemory(process_, static_cast<char*>(remote_) + offset, data, size, &done) || done != size)
        throw CommandError("cannot read the window's process memory");
}

void RemoteBuffer::read_foreign(const void* address, void* data, size_t size) const {
    SIZE_T done = 0;
    // A string near the end of a page may be followed by unmapped memory: keep what came.
    ReadProcessMemory(process_, address, data, size, &done);
}

TreeItem tree_item(HWND tree, HTREEITEM item) {
    // The wide message, so the text comes over whole whatever code page either program has.
    constexpr size_t kTextChars = 1024;
    constexpr size_t kTextBytes = kTextChars * sizeof(wchar_t);
    RemoteBuffer mem(tree, sizeof(TVITEMW) + kTextBytes + sizeof(RECT));
    wchar_t* remote_text = reinterpret_cast<wchar_t*>(static_cast<char*>(mem.address()) + sizeof(TVITEMW));
    size_t rect_offset = sizeof(TVITEMW) + kTextBytes;

    TVITEMW tv{};
    tv.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_CHILDREN;
    tv.hItem = item;
    tv.stateMask = 0xFFFFFFFF;
    tv.pszText = remote_text;
    tv.cchTextMax = kTextChars;
    mem.write(&tv, sizeof tv);
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(mem.address())))
        throw CommandError("TVM_GETITEM failed");
    mem.read(&tv, sizeof tv);

    TreeItem out;
    out.handle = item;
    out.state = tv.state;
    out.has_children = tv.cChildren != 0;
    wchar_t text[kTextChars]{};
    // The control may have pointed pszText at its own copy instead of filling ours.
    if (tv.pszText == remote_text) {
        mem.read(text, kTextBytes, sizeof(TVITEMW));
    } else if (tv.pszText) {
        mem.read_foreign(tv.pszText, text, kTextBytes - sizeof(wchar_t));
    }
    text[kTextChars - 1] = L'\0';
    out.text = text;

    // TVM_GETITEMRECT takes the item handle in the RECT it fills.
    RECT r{};
    std::memcpy(&r, &item, sizeof item);
    mem.write(&r, sizeof r, rect_offset);
    if (SendMessageA(tree, TVM_GETITEMRECT, TRUE,
                     reinterpret_cast<LPARAM>(static_cast<char*>(mem.address()) + rect_offset))) {
        mem.read(&out.rect, sizeof out.rect, rect_offset);
        out.rect_valid = true;
    }
    return out;
}

HTREEITEM tree_next(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

std::vector<HTREEITEM> tree_children(HWND tree, HTREEITEM parent) {
    std::vector<HTREEITEM> out;
    HTREEITEM child = parent ? tree_next(tree, parent, TVGN_CHILD) : tree_next(tree, nullptr, TVGN_ROOT);
    for (; child; child = tree_next(tree, child, TVGN_NEXT))
        out.push_back(child);
    return out;
}

RECT listbox_item_rect(HWND list, int index) {
    // LB_GETITEMRECT is one of the system messages whose RECT the system copies across.
    RECT r{};
    if (SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) ==
        LB_ERR)
        throw CommandError("no such list box item");
    return r;
}

} // namespace e2e
