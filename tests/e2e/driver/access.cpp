#include "access.h"

#include <windows.h>
#include <initguid.h>
#include <oleacc.h>

#include "protocol.h"

namespace e2e {
namespace {

// MinGW's IID_IAccessible is not the one Wine's oleacc answers to.
DEFINE_GUID(kIidAccessible, 0x618736e0, 0x3c3d, 0x11cf, 0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71);

struct Acc {
    IAccessible* p = nullptr;
    ~Acc() {
        if (p)
            p->Release();
    }
};

void com() {
    static const HRESULT once = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    (void)once;
}

VARIANT child_id(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::string text(HRESULT hr, BSTR s) {
    std::string out = SUCCEEDED(hr) && s ? json_wtext(s) : "null";
    SysFreeString(s);
    return out;
}

std::string number(HRESULT hr, VARIANT& v) {
    std::string out = SUCCEEDED(hr) && v.vt == VT_I4 ? json_number(v.lVal) : "null";
    VariantClear(&v);
    return out;
}

std::string name_of(IAccessible* a, long id) {
    BSTR s = nullptr;
    return text(a->get_accName(child_id(id), &s), s);
}

std::string properties(IAccessible* a, long id) {
    BSTR description = nullptr, action = nullptr;
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    HRESULT hd = a->get_accDescription(child_id(id), &description);
    HRESULT ha = a->get_accDefaultAction(child_id(id), &action);
    HRESULT hr = a->get_accRole(child_id(id), &role);
    HRESULT hs = a->get_accState(child_id(id), &state);
    return json_object({{"name", name_of(a, id)},
                        {"role", number(hr, role)},
                        {"state", number(hs, state)},
                        {"description", text(hd, description)},
                        {"action", text(ha, action)}});
}

// The children as AccessibleChildren lists them: objects as they describe themselves,
// simple elements as the parent describes them.
std::vector<VARIANT> children_of(IAccessible* a) {
    LONG n = 0;
    if (FAILED(a->get_accChildCount(&n)) || n <= 0)
        return {};
    std::vector<VARIANT> kids(static_cast<size_t>(n));
    LONG got = 0;
    if (FAILED(AccessibleChildren(a, 0, n, kids.data(), &got)))
        throw CommandError("AccessibleChildren failed");
    kids.resize(static_cast<size_t>(got));
    return kids;
}

std::string child_json(IAccessible* parent, VARIANT& kid) {
    if (kid.vt == VT_I4)
        return "{\"id\":" + json_number(kid.lVal) + "," + properties(parent, kid.lVal).substr(1);
    Acc child;
    if (kid.vt == VT_DISPATCH && kid.pdispVal &&
        SUCCEEDED(kid.pdispVal->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&child.p))))
        return "{\"id\":0," + properties(child.p, CHILDID_SELF).substr(1);
    return "null";
}

void client_object(const std::vector<std::string>& args, Acc& acc) {
    com();
    if (args.size() < 2)
        throw CommandError("missing argument: window");
    HWND h = reinterpret_cast<HWND>(static_cast<intptr_t>(parse_number(args[1])));
    HRESULT hr = AccessibleObjectFromWindow(h, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&acc.p));
    if (FAILED(hr) || !acc.p)
        throw CommandError("AccessibleObjectFromWindow failed: " + std::to_string(static_cast<unsigned long>(hr)));
}

} // namespace

std::string cmd_acc(const std::vector<std::string>& args) {
    Acc acc;
    client_object(args, acc);
    std::vector<std::string> items;
    for (VARIANT& kid : children_of(acc.p)) {
        items.push_back(child_json(acc.p, kid));
        VariantClear(&kid);
    }
    std::string self = properties(acc.p, CHILDID_SELF);
    return self.substr(0, self.size() - 1) + ",\"children\":" + json_array(items) + "}";
}

std::string cmd_acc_do(const std::vector<std::string>& args) {
    Acc acc;
    client_object(args, acc);
    if (args.size() < 3)
        throw CommandError("missing argument: name");
    const std::string wanted = json_text(utf8_to_ansi(args[2]));
    HRESULT hr = E_INVALIDARG;
    for (VARIANT& kid : children_of(acc.p)) {
        if (hr == E_INVALIDARG && kid.vt == VT_I4 && name_of(acc.p, kid.lVal) == wanted)
            hr = acc.p->accDoDefaultAction(child_id(kid.lVal));
        VariantClear(&kid);
    }
    if (hr == E_INVALIDARG)
        throw CommandError("no child named " + args[2]);
    if (FAILED(hr))
        throw CommandError("accDoDefaultAction failed: " + std::to_string(static_cast<unsigned long>(hr)));
    return std::string();
}

} // namespace e2e
