// The file list's listing of a large folder against a bare FindFirstFile/FindNextFile
// enumeration of the same folder, both under the same system (Wine in the project's runs).
// The listing includes everything the user waits for: the search, the long-name checks,
// the sort and filling the list box. Target: at most 1.5 times the bare enumeration.
//   file_list_bench.exe [folder] [files]   (default: a folder in %TEMP%, 20000 files)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "gui/file_list_win.h"

namespace {

double now_ms() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

// Pictures named like a camera's, a third of each kind, in mixed letter case, plus a few
// files the mask leaves out.
void make_folder(const std::string& dir, int files) {
    CreateDirectoryA(dir.c_str(), nullptr);
    const char* ext[] = {".jpg", ".JPEG", ".bmp", ".Jpg"};
    for (int i = 0; i < files; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "\\%s_%05d%s", i % 2 ? "IMG" : "dsc", (i * 7919) % 100000,
                      ext[i % 4]);
        HANDLE h = CreateFileA((dir + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    for (int i = 0; i < 50; ++i) {
        std::string other = dir + "\\notes" + std::to_string(i) + ".txt";
        HANDLE h =
            CreateFileA(other.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
}

int bare_enumeration(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    int n = 0;
    if (h != INVALID_HANDLE_VALUE) {
        do
            ++n;
        while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    return n;
}

LRESULT CALLBACK host_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (velmaro::gui::Widget::reflect(msg, wp, lp, result))
        return result;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

int main(int argc, char** argv) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string dir = argc > 1 && argv[1][0] ? argv[1] : std::string(tmp) + "velmaro-bench-files";
    const int files = argc > 2 ? std::atoi(argv[2]) : 20000;
    if (bare_enumeration(dir) < files)
        make_folder(dir, files);

    WNDCLASSA wc{};
    wc.lpfnWndProc = host_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VelmaroBenchHost";
    RegisterClassA(&wc);
    velmaro::UniqueHwnd host(CreateWindowExA(0, "VelmaroBenchHost", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                             0, 0, 400, 500, nullptr, nullptr, wc.hInstance, nullptr));
    velmaro::gui::FileList list;
    list.create(host.get(), 8, 184, 185, 154, nullptr);
    char empty_dir[MAX_PATH];
    std::snprintf(empty_dir, sizeof empty_dir, "%svelmaro-bench-empty", tmp);
    CreateDirectoryA(empty_dir, nullptr);

    // Alternate the two, several rounds; the best round of each counts (the least
    // disturbed by the other work on the machine).
    const int rounds = 11;
    std::vector<double> bare, listing, names_only;
    int entries = 0, lines = 0;
    for (int r = 0; r < rounds; ++r) {
        double t0 = now_ms();
        entries = bare_enumeration(dir);
        bare.push_back(now_ms() - t0);

        list.show_folder(empty_dir); // so that the big folder is listed anew
        t0 = now_ms();
        list.show_folder(dir);
        listing.push_back(now_ms() - t0);
        lines = list.count();

        t0 = now_ms();
        auto names = velmaro::gui::list_picture_files(dir, {"*.jpg", "*.jpeg", "*.bmp", ""});
        names_only.push_back(now_ms() - t0);
    }
    std::sort(names_only.begin(), names_only.end());
    std::sort(bare.begin(), bare.end());
    std::sort(listing.begin(), listing.end());
    std::printf("folder: %s (%d entries, %d listed)\n", dir.c_str(), entries, lines);
    std::printf("bare FindFirstFile/FindNextFile: best %.1f ms, median %.1f ms\n", bare[0], bare[rounds / 2]);
    std::printf("file list listing:               best %.1f ms, median %.1f ms\n", listing[0],
                listing[rounds / 2]);
    std::printf("  of which search, checks and sort: best %.1f ms\n", names_only[0]);
    std::printf("ratio (best): %.2f (target: at most 1.5)\n", listing[0] / bare[0]);
    return listing[0] <= 1.5 * bare[0] ? 0 : 1;
}
