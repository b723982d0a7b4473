// Whether the Task Scheduler's root folder holds a task, asked by name through
// ITaskService as any other program would (Wine has no tool that lists tasks, and its
// task collections come back empty).
#include "tasks.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <sddl.h>

#include <initguid.h>
#include <taskschd.h>

#include "protocol.h"

namespace e2e {

namespace {

std::string user_sid() {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    unsigned char buf[256];
    DWORD size = 0;
    char* text = nullptr;
    std::string sid;
    if (GetTokenInformation(token, TokenUser, buf, sizeof buf, &size) &&
        ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buf)->User.Sid, &text))
        sid = text;
    LocalFree(text);
    CloseHandle(token);
    return sid;
}

} // namespace

std::string cmd_user_task(const std::string& prefix) {
    const std::string name = prefix + user_sid();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ITaskService* service = nullptr;
    ITaskFolder* folder = nullptr;
    IRegisteredTask* task = nullptr;
    VARIANT none;
    VariantInit(&none);
    BSTR root = SysAllocString(L"\\");
    std::wstring wide(name.begin(), name.end()); // a prefix and a SID: ASCII
    BSTR bname = SysAllocString(wide.c_str());
    HRESULT hr = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                  reinterpret_cast<void**>(&service));
    if (SUCCEEDED(hr))
        hr = service->Connect(none, none, none, none);
    if (SUCCEEDED(hr))
        hr = service->GetFolder(root, &folder);
    const bool found = SUCCEEDED(hr) && SUCCEEDED(folder->GetTask(bname, &task));
    for (IUnknown* p :
         {static_cast<IUnknown*>(task), static_cast<IUnknown*>(folder), static_cast<IUnknown*>(service)})
        if (p)
            p->Release();
    SysFreeString(root);
    SysFreeString(bname);
    CoUninitialize();
    if (FAILED(hr))
        throw CommandError("the Task Scheduler answered " + std::to_string(static_cast<unsigned long>(hr)));
    return found ? json_text(name) : "null";
}

} // namespace e2e
