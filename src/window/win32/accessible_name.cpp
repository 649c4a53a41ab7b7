#include "window/win32/accessible_name.h"

#include <atomic>
#include <string>

namespace tallow {

namespace {

win32::UniqueComPtr<IAccPropServices> AccPropServices() {
  return win32::CreateComObject<IAccPropServices>(CLSID_AccPropServices, IID_IAccPropServices);
}

// Answers the annotation service's questions about the list and its rows, in this process.
class RowNameServer final : public IAccPropServer {
 public:
  RowNameServer(win32::UniqueComPtr<IAccPropServices> services, std::wstring name, RowNames rows)
      : services_(std::move(services)), name_(std::move(name)), rows_(std::move(rows)) {}
  RowNameServer(const RowNameServer&) = delete;
  RowNameServer& operator=(const RowNameServer&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IAccPropServer) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IAccPropServer*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetPropValue(const BYTE* identity, DWORD identity_length, MSAAPROPID property,
                                         VARIANT* value, BOOL* has_property) override {
    if (!value || !has_property) return E_POINTER;
    VariantInit(value);
    *has_property = FALSE;
    HWND window = nullptr;
    DWORD object = 0;
    DWORD child = 0;
    if (property != PROPID_ACC_NAME ||
        FAILED(services_->DecomposeHwndIdentityString(identity, identity_length, &window, &object, &child))) {
      return S_OK;
    }
    const std::optional<std::wstring> name = child == CHILDID_SELF ? name_ : rows_(static_cast<size_t>(child) - 1);
    if (!name) return S_OK;
    value->bstrVal = SysAllocStringLen(name->data(), static_cast<UINT>(name->size()));
    if (!value->bstrVal) return E_OUTOFMEMORY;
    value->vt = VT_BSTR;
    *has_property = TRUE;
    return S_OK;
  }

 private:
  ~RowNameServer() = default;

  std::atomic<ULONG> references_{1};
  win32::UniqueComPtr<IAccPropServices> services_;
  std::wstring name_;
  RowNames rows_;
};

}  // namespace

win32::UniqueComPtr<IAccPropServer> MakeRowNameServer(win32::UniqueComPtr<IAccPropServices> services, std::wstring name,
                                                      RowNames rows) {
  return win32::UniqueComPtr<IAccPropServer>(new RowNameServer(std::move(services), std::move(name), std::move(rows)));
}

bool SetAccessibleNames(HWND list, std::wstring_view name, RowNames rows) {
  const win32::UniqueComPtr<IAccPropServices> services = AccPropServices();
  if (!services) return false;
  // The server has the service decode which row it is asked about, so it holds it too.
  services->AddRef();
  const win32::UniqueComPtr<IAccPropServer> server =
      MakeRowNameServer(win32::UniqueComPtr<IAccPropServices>(services.get()), std::wstring(name), std::move(rows));
  MSAAPROPID property = PROPID_ACC_NAME;
  // The service keeps its own reference to the server for as long as the annotation stands.
  return SUCCEEDED(services->SetHwndPropServer(list, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &property, 1,
                                               server.get(), ANNO_CONTAINER));
}

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
