#include "wallpaper/shuffle_round_win.h"

#include <windows.h>
#include <bcrypt.h>

#include <array>

#include "base/error.h"
#include "base/file_write_win.h"
#include "base/handles_win.h"
#include "base/known_folder_win.h"
#include "base/path.h"

namespace velmaro::wallpaper {

std::string round_file_path() {
    const std::string dir = join_path(known_folder_path(FOLDERID_LocalAppData, true), "Velmaro");
    CreateDirectoryA(dir.c_str(), nullptr);
    return join_path(dir, "Round.dat");
}

std::vector<std::uint8_t> load_round_file(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD err = GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND)
            return {};
        throw FileError(format_message("Cannot read file %s", path));
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr))
            throw FileError(format_message("Cannot read file %s", path));
        if (got == 0)
            return bytes;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
}

void save_round_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    replace_file(path, bytes);
}

RoundRandom system_round_random() {
    std::array<std::uint32_t, 8> seed{};
    const NTSTATUS status = BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(seed.data()),
                                            static_cast<ULONG>(sizeof seed), BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (status != 0) {
        LARGE_INTEGER counter{};
        QueryPerformanceCounter(&counter);
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        seed = {static_cast<std::uint32_t>(counter.LowPart),
                static_cast<std::uint32_t>(counter.HighPart),
                now.dwLowDateTime,
                now.dwHighDateTime,
                GetCurrentProcessId(),
                GetTickCount(),
                0,
                0};
    }
    return RoundRandom(seed);
}

ExcludedPicture excluded_by(const state::ExclusionList& excluded) {
    if (excluded.paths().empty())
        return {};
    return [&excluded](const std::string& folder, const std::string& name) {
        return excluded.contains(join_path(folder, name));
    };
}

} // namespace velmaro::wallpaper
