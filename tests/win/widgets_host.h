// A bare top-level window for widget tests: it hands child notifications back to the
// widgets, as a form does, and keeps exceptions from unwinding through the system.
#pragma once

#include <windows.h>

#include <string>

#include "base/handles_win.h"
#include "gui/widget_win.h"

namespace velmaro::test {

inline LRESULT CALLBACK widgets_host_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        LRESULT result = 0;
        if (gui::Widget::reflect(msg, wp, lp, result))
            return result;
    } catch (...) {
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class WidgetsHost {
  public:
    WidgetsHost(int w = 640, int h = 480) {
        static const bool registered = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = widgets_host_proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
            wc.lpszClassName = "VelmaroWidgetsHost";
            return RegisterClassA(&wc) != 0;
        }();
        (void)registered;
        // Not shown: without a window manager, Wine waits for every shown window to be
        // withdrawn when it goes.
        window_.reset(CreateWindowExA(0, "VelmaroWidgetsHost", "widgets", WS_OVERLAPPEDWINDOW, 0, 0, w, h,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    }
    HWND hwnd() const { return window_.get(); }

    // Lets pending messages (paints, posted notifications) run.
    static void pump() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }

  private:
    UniqueHwnd window_;
};

// A fresh folder under the temporary folder, removed with its content at the end.
class TempFolder {
  public:
    explicit TempFolder(const std::string& name) {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        path_ = std::string(tmp) + name + "-" + std::to_string(GetCurrentProcessId());
        remove_tree(path_);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TempFolder() { remove_tree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

    std::string folder(const std::string& name, DWORD attrs = 0) const {
        std::string p = *this / name;
        CreateDirectoryA(p.c_str(), nullptr);
        if (attrs)
            SetFileAttributesA(p.c_str(), attrs);
        return p;
    }
    std::string file(const std::string& name, DWORD attrs = 0, const std::string& content = "x") const {
        std::string p = *this / name;
        HANDLE h =
            CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(h);
        if (attrs)
            SetFileAttributesA(p.c_str(), attrs);
        return p;
    }

    static void remove_tree(const std::string& dir) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string name = fd.cFileName;
                if (name == "." || name == "..")
                    continue;
                std::string p = dir + "\\" + name;
                SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    remove_tree(p);
                else
                    DeleteFileA(p.c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryA(dir.c_str());
    }

  private:
    std::string path_;
};

} // namespace velmaro::test
