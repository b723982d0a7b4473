// Whether the Task Scheduler's root folder holds a task of a name, asked through
// ITaskService as any program would (Wine has no tool that lists tasks).
#include "tasks.h"

#include <windows.h>
#include <oleauto.h>

#include <initguid.h>
#include <taskschd.h>

#include "protocol.h"

namespace e2e {

std::string cmd_has_task(const std::string& name) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ITaskService* service = nullptr;
    ITaskFolder* folder = nullptr;
    IRegisteredTask* task = nullptr;
    VARIANT none;
    VariantInit(&none);
    const std::wstring wide(name.begin(), name.end()); // task names here are ASCII
    BSTR root = SysAllocString(L"\\"), bname = SysAllocString(wide.c_str());
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
    return json_bool(found);
}

} // namespace e2e
