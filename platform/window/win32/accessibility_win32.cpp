// What screen readers get from the Win32 window: annotations and notifications.

#include <windows.h>

#include <oleauto.h>
#include <unknwn.h>
#include <ole2.h>
// The accessibility property GUIDs, defined here rather than taken from a library.
#include <initguid.h>
#include <oleacc.h>

#include <iterator>
#include <utility>

#include "platform/window/win32/parts_win32.h"
#include "platform/window/win32/utf16.h"

namespace velsona::platform {
namespace {

// The properties the window gives screen readers for each of its controls.
const MSAAPROPID kSpokenProperties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};

// A function of a system library (loaded once, kept for the program's life):
// null where this Windows lacks the library or the function. Only the system
// folder is searched, never the program's or the current one.
template <typename Function>
Function SystemFunction(HMODULE library, const char* name) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

IAccPropServices* AnnotationService() {
  IAccPropServices* service = nullptr;
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                              reinterpret_cast<void**>(&service)))) {
    return nullptr;
  }
  return service;
}

void Annotate(IAccPropServices* service, HWND control, std::string_view name, std::string_view description) {
  if (service == nullptr) return;
  const std::pair<MSAAPROPID, std::string_view> texts[] = {{PROPID_ACC_NAME, name},
                                                           {PROPID_ACC_DESCRIPTION, description}};
  for (const auto& [property, text] : texts) {
    if (!text.empty()) {
      service->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property, Wide(text).c_str());
    }
  }
}

void Forget(IAccPropServices* service, HWND control) {
  if (service == nullptr) return;
  service->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kSpokenProperties,
                          static_cast<int>(std::size(kSpokenProperties)));
}

void Notify(HWND window, std::string_view utterance) {
  using HostProvider = HRESULT(WINAPI*)(HWND, IUnknown**);
  using RaiseNotification = HRESULT(WINAPI*)(IUnknown*, int kind, int processing, BSTR text, BSTR activity);
  using AllocString = BSTR(WINAPI*)(const OLECHAR*);
  using FreeString = void(WINAPI*)(BSTR);
  constexpr int kActionCompleted = 2;  // NotificationKind
  constexpr int kMostRecent = 3;       // NotificationProcessing: a newer result replaces one not yet spoken
  static const HMODULE automation = LoadLibraryExW(L"UIAutomationCore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  static const HMODULE automationStrings = LoadLibraryExW(L"OleAut32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  const auto hostProvider = SystemFunction<HostProvider>(automation, "UiaHostProviderFromHwnd");
  const auto raise = SystemFunction<RaiseNotification>(automation, "UiaRaiseNotificationEvent");
  const auto allocString = SystemFunction<AllocString>(automationStrings, "SysAllocString");
  const auto freeString = SystemFunction<FreeString>(automationStrings, "SysFreeString");
  if (hostProvider == nullptr || raise == nullptr || allocString == nullptr || freeString == nullptr) return;
  IUnknown* provider = nullptr;
  if (FAILED(hostProvider(window, &provider)) || provider == nullptr) return;
  const BSTR text = allocString(Wide(utterance).c_str());
  const BSTR activity = allocString(L"VelsonaResults");
  if (text != nullptr && activity != nullptr) raise(provider, kActionCompleted, kMostRecent, text, activity);
  freeString(text);
  freeString(activity);
  provider->Release();
}

}  // namespace velsona::platform
