// Active Accessibility as a screen reader uses it from another process: a window's
// client-area object with its children, and a child's default action.
#include <windows.h>
#include <initguid.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "protocol.h"

namespace e2e {
namespace {

// MinGW's IID_IAccessible is not the one Wine's oleacc answers to.
DEFINE_GUID(kIidAccessible, 0x618736e0, 0x3c3d, 0x11cf, 0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71);

VARIANT child_id(long id) {
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

using TextGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
using NumberGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, VARIANT*);

std::string text(IAccessible* a, TextGetter get, long id) {
    BSTR s = nullptr;
    const HRESULT hr = (a->*get)(child_id(id), &s);
    std::string out = SUCCEEDED(hr) && s ? json_wtext(s) : "null";
    SysFreeString(s);
    return out;
}

std::string number(IAccessible* a, NumberGetter get, long id) {
    VARIANT v{};
    return SUCCEEDED((a->*get)(child_id(id), &v)) && v.vt == VT_I4 ? json_number(v.lVal) : "null";
}

// {id, name, role, state, description, action}: id 0 for an object, else the child id
// of a simple element, which its parent describes.
std::string properties(IAccessible* a, long id, long shown_id) {
    return json_object({{"id", json_number(shown_id)},
                        {"name", text(a, &IAccessible::get_accName, id)},
                        {"role", number(a, &IAccessible::get_accRole, id)},
                        {"state", number(a, &IAccessible::get_accState, id)},
                        {"description", text(a, &IAccessible::get_accDescription, id)},
                        {"action", text(a, &IAccessible::get_accDefaultAction, id)}});
}

struct Client {
    IAccessible* acc = nullptr;
    std::vector<VARIANT> children;
    explicit Client(const std::vector<std::string>& args) {
        static const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        (void)com;
        HWND h = reinterpret_cast<HWND>(static_cast<intptr_t>(parse_number(args.at(1))));
        if (FAILED(
                AccessibleObjectFromWindow(h, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&acc))))
            throw CommandError("AccessibleObjectFromWindow failed");
        LONG n = 0, got = 0;
        acc->get_accChildCount(&n);
        children.resize(static_cast<size_t>(n > 0 ? n : 0));
        if (n > 0 && FAILED(AccessibleChildren(acc, 0, n, children.data(), &got)))
            throw CommandError("AccessibleChildren failed");
        children.resize(static_cast<size_t>(got));
    }
    ~Client() {
        for (VARIANT& v : children)
            VariantClear(&v);
        acc->Release();
    }
};

} // namespace

// acc HWND: the client object's properties with its children's.
std::string cmd_acc(const std::vector<std::string>& args) {
    Client c(args);
    std::vector<std::string> items;
    for (VARIANT& kid : c.children) {
        IAccessible* child = nullptr;
        if (kid.vt == VT_I4)
            items.push_back(properties(c.acc, kid.lVal, kid.lVal));
        else if (kid.vt == VT_DISPATCH && kid.pdispVal &&
                 SUCCEEDED(kid.pdispVal->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&child)))) {
            items.push_back(properties(child, CHILDID_SELF, 0));
            child->Release();
        }
    }
    std::string self = properties(c.acc, CHILDID_SELF, 0);
    return self.substr(0, self.size() - 1) + ",\"children\":" + json_array(items) + "}";
}

// acc_do HWND NAME: the default action of the first simple element so named.
std::string cmd_acc_do(const std::vector<std::string>& args) {
    Client c(args);
    const std::string wanted = json_text(utf8_to_ansi(args.at(2)));
    for (VARIANT& kid : c.children)
        if (kid.vt == VT_I4 && text(c.acc, &IAccessible::get_accName, kid.lVal) == wanted) {
            if (FAILED(c.acc->accDoDefaultAction(child_id(kid.lVal))))
                throw CommandError("accDoDefaultAction failed");
            return std::string();
        }
    throw CommandError("no child named " + args.at(2));
}

} // namespace e2e
