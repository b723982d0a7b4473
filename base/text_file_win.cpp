#include "base/text_file_win.h"

#include <windows.h>

#include "base/code_page_win.h"
#include "base/error.h"
#include "base/file_write_win.h"
#include "base/handles_win.h"

namespace velmaro {

std::optional<std::string> read_text_file(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return std::nullopt;
        throw FileError(format_message("Cannot open file %s", path));
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 64 * 1024 * 1024)
        throw FileError(format_message("Cannot open file %s", path));
    std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!text.empty() && (!ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr)))
        throw FileError(format_message("Cannot open file %s", path));
    text.resize(got);
    return text;
}

std::optional<std::string> read_utf8_text_file(const std::string& path) {
    auto text = read_text_file(path);
    if (text)
        *text = convert_code_page(*text, CP_UTF8, GetACP());
    return text;
}

void replace_utf8_text_file(const std::string& path, std::string_view text) {
    const std::string utf8 = convert_code_page(text, GetACP(), CP_UTF8);
    replace_file(path, {reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size()});
}

bool file_exists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace velmaro
