#include "window/win32/accessible_name.h"

// The accessibility interfaces build on <windows.h>.
#include <oleacc.h>

#include <string>

#include "platform/win32/handles.h"

namespace tallow {

namespace {

win32::UniqueComPtr<IAccPropServices> AccPropServices() {
  return win32::CreateComObject<IAccPropServices>(CLSID_AccPropServices, IID_IAccPropServices);
}

}  // namespace

bool SetAccessibleName(HWND control, std::wstring_view name) {
  const win32::UniqueComPtr<IAccPropServices> services = AccPropServices();
  const std::wstring terminated(name);
  return services && SUCCEEDED(services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                                        PROPID_ACC_NAME, terminated.c_str()));
}

void ClearAccessibleName(HWND control) {
  if (const win32::UniqueComPtr<IAccPropServices> services = AccPropServices()) {
    MSAAPROPID name = PROPID_ACC_NAME;
    services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
  }
}

}  // namespace tallow
