#include "wallpaper/schedule_task_win.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <sddl.h>

// The Task Scheduler's class and interface ids are in none of MinGW's libraries: this
// file defines the ones its header declares.
#include <initguid.h>
#include <taskschd.h>

#include <cstdio>
#include <vector>

#include "base/handles_win.h"
#include "wallpaper/schedule_task.h"

namespace velmaro::wallpaper {

namespace {

// A BSTR owned for one call.
class Bstr {
  public:
    explicit Bstr(const std::wstring& text)
        : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr() = default;
    ~Bstr() { SysFreeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return b_; }
    BSTR* put() {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }

  private:
    BSTR b_ = nullptr;
};

std::wstring widen(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string narrow(const std::wstring& wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr,
                            nullptr);
    return utf8;
}

// The program's own path, whatever the code page of its other strings.
std::wstring own_path() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

struct Refusal {
    HRESULT code;
    const char* reason;
};

// The refusals a user meets, in words; the system words the others.
constexpr Refusal kRefusals[] = {
    {SCHED_E_SERVICE_NOT_RUNNING, "the Task Scheduler service is not running"},
    {E_ACCESSDENIED, "access is denied"},
};

std::string reason_of(HRESULT hr) {
    for (const Refusal& r : kRefusals)
        if (r.code == hr)
            return r.reason;
    char* text = nullptr;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(hr), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = n ? std::string(text, n) : "an error it did not explain";
    LocalFree(text);
    while (!reason.empty() &&
           (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.' || reason.back() == ' '))
        reason.pop_back();
    return reason;
}

void check(HRESULT hr) {
    if (SUCCEEDED(hr))
        return;
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    throw ScheduleError("The Task Scheduler refused the change: " + reason_of(hr) + " (" + code + ").");
}

// The root folder of a Task Scheduler connected for the current user.
ComPtr<ITaskFolder> root_folder() {
    ComPtr<ITaskService> service;
    check(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                           reinterpret_cast<void**>(service.put())));
    VARIANT none;
    VariantInit(&none);
    check(service->Connect(none, none, none, none));
    ComPtr<ITaskFolder> folder;
    Bstr root(L"\\");
    check(service->GetFolder(root.get(), folder.put()));
    return folder;
}

std::wstring task_name() {
    return widen(schedule_task_name(current_user_sid()));
}

// The program the task starts; empty when the Task Scheduler does not say.
std::wstring task_program(IRegisteredTask& task) {
    ComPtr<ITaskDefinition> definition;
    ComPtr<IActionCollection> actions;
    ComPtr<IAction> action;
    ComPtr<IExecAction> exec;
    LONG count = 0;
    if (FAILED(task.get_Definition(definition.put())) || FAILED(definition->get_Actions(actions.put())) ||
        FAILED(actions->get_Count(&count)) || count < 1 || FAILED(actions->get_Item(1, action.put())) ||
        FAILED(action->QueryInterface(IID_IExecAction, reinterpret_cast<void**>(exec.put()))))
        return {};
    Bstr path;
    if (FAILED(exec->get_Path(path.put())) || !path.get())
        return {};
    return path.get();
}

} // namespace

std::string current_user_sid() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
        check(HRESULT_FROM_WIN32(GetLastError()));
    UniqueFile token(raw);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buf(size ? size : 1);
    if (!GetTokenInformation(token.get(), TokenUser, buf.data(), size, &size))
        check(HRESULT_FROM_WIN32(GetLastError()));
    char* text = nullptr;
    if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buf.data())->User.Sid, &text))
        check(HRESULT_FROM_WIN32(GetLastError()));
    std::string sid(text);
    LocalFree(text);
    return sid;
}

void register_schedule_task(int minutes, bool battery_pause) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const ScheduleTask task{narrow(own_path()), current_user_sid(), minutes, battery_pause};
    const std::string xml = schedule_task_xml(
        task, local_time(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond));
    ComPtr<ITaskFolder> folder = root_folder();
    Bstr name(task_name());
    Bstr definition(widen(xml));
    VARIANT none;
    VariantInit(&none);
    ComPtr<IRegisteredTask> registered;
    check(folder->RegisterTask(name.get(), definition.get(), TASK_CREATE_OR_UPDATE, none, none,
                               TASK_LOGON_INTERACTIVE_TOKEN, none, registered.put()));
}

void delete_schedule_task() {
    ComPtr<ITaskFolder> folder = root_folder();
    Bstr name(task_name());
    const HRESULT hr = folder->DeleteTask(name.get(), 0);
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND))
        return;
    check(hr);
}

bool schedule_task_exists() {
    ComPtr<ITaskFolder> folder = root_folder();
    Bstr name(task_name());
    ComPtr<IRegisteredTask> task;
    return SUCCEEDED(folder->GetTask(name.get(), task.put()));
}

void refresh_schedule_task(int minutes, bool battery_pause) {
    if (minutes <= 0)
        return;
    try {
        ComPtr<ITaskFolder> folder = root_folder();
        Bstr name(task_name());
        ComPtr<IRegisteredTask> task;
        if (FAILED(folder->GetTask(name.get(), task.put())))
            return;
        if (CompareStringOrdinal(task_program(*task.get()).c_str(), -1, own_path().c_str(), -1, TRUE) !=
            CSTR_EQUAL)
            register_schedule_task(minutes, battery_pause);
    } catch (const Error&) {
        // Reported when the user next confirms the Options dialog.
    }
}

} // namespace velmaro::wallpaper
