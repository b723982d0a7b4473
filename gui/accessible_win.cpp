#include "gui/accessible_win.h"

#include <commctrl.h>
#include <initguid.h>

#include <atomic>
#include <exception>
#include <vector>

#include "base/handles_win.h"
#include "gui/error_report_win.h"

namespace velmaro::gui {

DEFINE_GUID(kIidAccessibleDefined, 0x618736e0, 0x3c3d, 0x11cf, 0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b,
            0x71);
const IID kIidAccessible = kIidAccessibleDefined;

namespace {

constexpr UINT_PTR kSubclassId = 0x41434331; // "ACC1"

UINT press_message() {
    static const UINT id = RegisterWindowMessageA("VelmaroAccessiblePress");
    return id;
}

// S_FALSE with no text for an empty one, as the interface expects of a missing property.
HRESULT text_result(const std::string& text, BSTR* out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    *out = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    if (!*out)
        return E_OUTOFMEMORY;
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), *out, n);
    return S_OK;
}

HRESULT number_result(long value, VARIANT* out) {
    if (!out)
        return E_POINTER;
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

bool is_self(const VARIANT& v) {
    return v.vt == VT_I4 && v.lVal == CHILDID_SELF;
}

} // namespace

// What the objects handed out share with the window: cleared when the window or its
// AccessibleWindow goes, after which they answer that they are disconnected.
struct AccessibleWindow::Link {
    AccessibleWindow* owner = nullptr;
};

namespace {

// The client area's object: the system's own for the window, with the window's name,
// description and role where given, and the windowless parts after the child windows.
// A part's child id follows the system's children: their count plus one for the first.
class ClientObject final : public IAccessible, public IEnumVARIANT {
  public:
    ClientObject(std::shared_ptr<void> keep, AccessibleWindow** owner, ComPtr<IAccessible> system)
        : keep_(std::move(keep)), owner_(owner), system_(std::move(system)) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible)
            *out = static_cast<IAccessible*>(this);
        else if (iid == IID_IEnumVARIANT)
            *out = static_cast<IEnumVARIANT*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }

    // IDispatch: the interface is used through its vtable only.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n)
            *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
        return live() ? system_->get_accParent(out) : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* out) override {
        if (!out)
            return E_POINTER;
        if (!live())
            return RPC_E_DISCONNECTED;
        *out = system_count() + static_cast<LONG>(parts().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out)
            return E_POINTER;
        if (!live())
            return RPC_E_DISCONNECTED;
        *out = nullptr;
        if (part_of(child))
            return S_FALSE; // a simple element: its parent answers for it
        return system_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        if (!live())
            return RPC_E_DISCONNECTED;
        if (const AccessiblePart* p = part_of(child))
            return text_result(p->name, out);
        if (is_self(child) && !info().name.empty())
            return text_result(info().name, out);
        return system_->get_accName(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        if (!live())
            return RPC_E_DISCONNECTED;
        if (part_of(child))
            return text_result("", out);
        return system_->get_accValue(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        if (!live())
            return RPC_E_DISCONNECTED;
        if (const AccessiblePart* p = part_of(child))
            return text_result(p->description, out);
        if (is_self(child) && info().description)
            return text_result(info().description(), out);
        return system_->get_accDescription(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        if (!live())
            return RPC_E_DISCONNECTED;
        if (const AccessiblePart* p = part_of(child))
            return number_result(p->role, out);
        if (is_self(child) && info().role != 0)
            return number_result(info().role, out);
        return system_->get_accRole(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        if (!live())
            return RPC_E_DISCONNECTED;
        if (const AccessiblePart* p = part_of(child))
            return number_result(available(*p) ? 0 : STATE_SYSTEM_UNAVAILABLE, out);
        return system_->get_accState(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
        if (!live())
            return RPC_E_DISCONNECTED;
        if (part_of(child))
            return text_result("", out);
        return system_->get_accHelp(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        if (!live())
            return RPC_E_DISCONNECTED;
        if (part_of(child))
            return DISP_E_MEMBERNOTFOUND;
        return system_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        if (!live())
            return RPC_E_DISCONNECTED;
        if (const AccessiblePart* p = part_of(child))
            return text_result(p->shortcut, out);
        return system_->get_accKeyboardShortcut(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        return live() ? system_->get_accFocus(out) : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        return live() ? system_->get_accSelection(out) : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        if (!live())
            return RPC_E_DISCONNECTED;
        if (const AccessiblePart* p = part_of(child))
            return text_result(p->default_action, out);
        return system_->get_accDefaultAction(child, out);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        if (!live())
            return RPC_E_DISCONNECTED;
        if (part_of(child))
            return DISP_E_MEMBERNOTFOUND;
        return system_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* out) override {
        if (!live())
            return RPC_E_DISCONNECTED;
        if (part_of(start)) {
            if (out)
                VariantInit(out);
            return S_FALSE;
        }
        return system_->accNavigate(direction, start, out);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

    // IEnumVARIANT: the child windows as the system lists them, then the parts' ids.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        position_ += count;
        return position_ <= children_total() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

  private:
    ~ClientObject() = default;

    bool live() const { return *owner_ != nullptr; }
    const AccessibleInfo& info() const { return (*owner_)->info(); }
    const std::vector<AccessiblePart>& parts() const { return info().parts; }
    bool available(const AccessiblePart& p) const { return (*owner_)->available(p); }

    LONG system_count() const {
        LONG n = 0;
        return SUCCEEDED(system_->get_accChildCount(&n)) ? n : 0;
    }
    ULONG children_total() const { return static_cast<ULONG>(system_count()) + parts().size(); }

    // The part a child id names, or null.
    const AccessiblePart* part_of(const VARIANT& child, size_t* index = nullptr) const {
        if (child.vt != VT_I4)
            return nullptr;
        const LONG at = child.lVal - system_count() - 1;
        if (at < 0 || static_cast<size_t>(at) >= parts().size())
            return nullptr;
        if (index)
            *index = static_cast<size_t>(at);
        return &parts()[static_cast<size_t>(at)];
    }

    RECT screen_bounds(const AccessiblePart& p) const {
        RECT r = p.bounds ? p.bounds() : RECT{0, 0, 0, 0};
        MapWindowPoints((*owner_)->hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    std::shared_ptr<void> keep_; // holds the Link that owner_ points into
    AccessibleWindow** owner_;
    ComPtr<IAccessible> system_;
    std::atomic<ULONG> refs_{1};
    ULONG position_ = 0;
};

HRESULT ClientObject::accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT child) {
    if (!x || !y || !w || !h)
        return E_POINTER;
    if (!live())
        return RPC_E_DISCONNECTED;
    const AccessiblePart* p = part_of(child);
    if (!p)
        return system_->accLocation(x, y, w, h, child);
    const RECT r = screen_bounds(*p);
    *x = r.left;
    *y = r.top;
    *w = r.right - r.left;
    *h = r.bottom - r.top;
    return S_OK;
}

HRESULT ClientObject::accHitTest(LONG x, LONG y, VARIANT* out) {
    if (!out)
        return E_POINTER;
    if (!live())
        return RPC_E_DISCONNECTED;
    const POINT pt{x, y};
    // The last part lies on top, as the window draws them.
    for (size_t i = parts().size(); i-- > 0;) {
        const RECT r = screen_bounds(parts()[i]);
        if (PtInRect(&r, pt))
            return number_result(system_count() + 1 + static_cast<LONG>(i), out);
    }
    return system_->accHitTest(x, y, out);
}

HRESULT ClientObject::accDoDefaultAction(VARIANT child) {
    if (!live())
        return RPC_E_DISCONNECTED;
    size_t index = 0;
    const AccessiblePart* p = part_of(child, &index);
    if (!p)
        return system_->accDoDefaultAction(child);
    if (p->default_action.empty() || !p->press)
        return DISP_E_MEMBERNOTFOUND;
    if (!available(*p))
        return E_FAIL;
    return (*owner_)->request_press(index) ? S_OK : E_FAIL;
}

HRESULT ClientObject::Next(ULONG count, VARIANT* out, ULONG* fetched) {
    if (!out)
        return E_POINTER;
    if (!live())
        return RPC_E_DISCONNECTED;
    const LONG windows = system_count();
    std::vector<VARIANT> system_children(static_cast<size_t>(windows));
    LONG got = 0;
    if (windows > 0 && FAILED(AccessibleChildren(system_.get(), 0, windows, system_children.data(), &got)))
        got = 0;
    ULONG done = 0;
    for (; done < count && position_ < static_cast<ULONG>(windows) + parts().size(); ++done, ++position_) {
        VariantInit(&out[done]);
        if (position_ < static_cast<ULONG>(got))
            VariantCopy(&out[done], &system_children[position_]);
        else if (position_ >= static_cast<ULONG>(windows))
            number_result(windows + 1 + static_cast<LONG>(position_ - static_cast<ULONG>(windows)),
                          &out[done]);
        else
            number_result(static_cast<LONG>(position_) + 1, &out[done]);
    }
    for (LONG i = 0; i < got; ++i)
        VariantClear(&system_children[static_cast<size_t>(i)]);
    if (fetched)
        *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

} // namespace

AccessibleWindow::AccessibleWindow(HWND hwnd, AccessibleInfo info)
    : hwnd_(hwnd), info_(std::move(info)), link_(std::make_shared<Link>()) {
    link_->owner = this;
    SetWindowSubclass(hwnd_, &AccessibleWindow::subclass_proc, kSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
}

AccessibleWindow::~AccessibleWindow() {
    detach();
}

void AccessibleWindow::detach() {
    if (!link_->owner)
        return;
    link_->owner = nullptr;
    if (IsWindow(hwnd_))
        RemoveWindowSubclass(hwnd_, &AccessibleWindow::subclass_proc, kSubclassId);
}

HRESULT AccessibleWindow::create_object(IAccessible** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    ComPtr<IAccessible> system;
    HRESULT hr = CreateStdAccessibleObject(hwnd_, OBJID_CLIENT, kIidAccessible,
                                           reinterpret_cast<void**>(system.put()));
    if (FAILED(hr))
        return hr;
    // The object keeps the link alive and reads the owner through it.
    *out = new ClientObject(link_, &link_->owner, std::move(system));
    return S_OK;
}

bool AccessibleWindow::available(const AccessiblePart& part) const {
    return IsWindowEnabled(GetAncestor(hwnd_, GA_ROOT)) && (!part.available || part.available());
}

bool AccessibleWindow::request_press(size_t index) {
    return PostMessageA(hwnd_, press_message(), index, 0) != FALSE;
}

void AccessibleWindow::run_press(size_t index) {
    if (index >= info_.parts.size())
        return;
    const AccessiblePart& p = info_.parts[index];
    if (p.press && available(p))
        guarded([&] { p.press(); });
}

LRESULT AccessibleWindow::on_get_object(WPARAM wp, LPARAM lp) {
    if (static_cast<DWORD>(lp) != static_cast<DWORD>(OBJID_CLIENT))
        return DefSubclassProc(hwnd_, WM_GETOBJECT, wp, lp);
    ComPtr<IAccessible> object;
    if (FAILED(create_object(object.put())))
        return DefSubclassProc(hwnd_, WM_GETOBJECT, wp, lp);
    return LresultFromObject(kIidAccessible, wp, object.get());
}

LRESULT CALLBACK AccessibleWindow::subclass_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                                 DWORD_PTR self) {
    auto* me = reinterpret_cast<AccessibleWindow*>(self);
    if (msg == WM_GETOBJECT) {
        try {
            return me->on_get_object(wp, lp);
        } catch (...) {
            return DefSubclassProc(hwnd, msg, wp, lp);
        }
    }
    if (msg == press_message() && msg != 0) {
        me->run_press(static_cast<size_t>(wp));
        return 0;
    }
    if (msg == WM_NCDESTROY)
        me->detach();
    return DefSubclassProc(hwnd, msg, wp, lp);
}

} // namespace velmaro::gui
