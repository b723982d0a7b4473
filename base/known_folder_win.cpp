#include "base/known_folder_win.h"

#include <shlobj.h>

namespace velmaro {

std::string known_folder_path(REFKNOWNFOLDERID id, bool create) {
    PWSTR wide = nullptr;
    HRESULT hr = SHGetKnownFolderPath(id, create ? static_cast<DWORD>(KF_FLAG_CREATE) : 0u, nullptr, &wide);
    std::string path;
    if (SUCCEEDED(hr) && wide) {
        int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        if (n > 1) {
            path.resize(static_cast<size_t>(n));
            WideCharToMultiByte(CP_ACP, 0, wide, -1, path.data(), n, nullptr, nullptr);
            path.resize(static_cast<size_t>(n - 1));
        }
    }
    CoTaskMemFree(wide);
    return path;
}

} // namespace velmaro
