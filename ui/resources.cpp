#include "ui/resources.h"

#include <windows.h>

#include "base/error.h"

namespace velmaro::ui {

std::vector<std::uint8_t> resource_bytes(int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes)
        throw Error(format_message("Resource %d not found", static_cast<long long>(id)));
    auto* begin = static_cast<const std::uint8_t*>(bytes);
    return {begin, begin + SizeofResource(module, info)};
}

} // namespace velmaro::ui
