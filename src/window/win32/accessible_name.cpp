#include "window/win32/accessible_name.h"

#include <atomic>
#include <string>

namespace tallow {

namespace {

win32::UniqueComPtr<IAccPropServices> AccPropServices() {
  return win32::CreateComObject<IAccPropServices>(CLSID_AccPropServices, IID_IAccPropServices);
}

// Answers the annotation service's questions about the list and its rows, in this process.
class RowTextServer final : public IAccPropServer {
 public:
  RowTextServer(win32::UniqueComPtr<IAccPropServices> services, std::wstring name, RowNames rows, RowNames descriptions)
      : services_(std::move(services)),
        name_(std::move(name)),
        rows_(std::move(rows)),
        descriptions_(std::move(descriptions)) {}
  RowTextServer(const RowTextServer&) = delete;
  RowTextServer& operator=(const RowTextServer&) = delete;

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
    const bool describe = property == PROPID_ACC_DESCRIPTION && descriptions_;
    if ((property != PROPID_ACC_NAME && !describe) ||
        FAILED(services_->DecomposeHwndIdentityString(identity, identity_length, &window, &object, &child))) {
      return S_OK;
    }
    std::optional<std::wstring> name;
    if (child != CHILDID_SELF) {
      name = (describe ? descriptions_ : rows_)(static_cast<size_t>(child) - 1);
    } else if (!describe) {
      name = name_;
    }
    if (!name) return S_OK;
    value->bstrVal = SysAllocStringLen(name->data(), static_cast<UINT>(name->size()));
    if (!value->bstrVal) return E_OUTOFMEMORY;
    value->vt = VT_BSTR;
    *has_property = TRUE;
    return S_OK;
  }

 private:
  ~RowTextServer() = default;

  std::atomic<ULONG> references_{1};
  win32::UniqueComPtr<IAccPropServices> services_;
  std::wstring name_;
  RowNames rows_;
  RowNames descriptions_;
};

}  // namespace

win32::UniqueComPtr<IAccPropServer> MakeRowTextServer(win32::UniqueComPtr<IAccPropServices> services, std::wstring name,
                                                      RowNames rows, RowNames descriptions) {
  return win32::UniqueComPtr<IAccPropServer>(
      new RowTextServer(std::move(services), std::move(name), std::move(rows), std::move(descriptions)));
}

bool SetAccessibleNames(HWND list, std::wstring_view name, RowNames rows, RowNames descriptions) {
  const win32::UniqueComPtr<IAccPropServices> services = AccPropServices();
  if (!services) return false;
  // The server has the service decode which row it is asked about, so it holds it too.
  services->AddRef();
  const bool described = static_cast<bool>(descriptions);
  const win32::UniqueComPtr<IAccPropServer> server =
      MakeRowTextServer(win32::UniqueComPtr<IAccPropServices>(services.get()), std::wstring(name), std::move(rows),
                        std::move(descriptions));
  MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
  // The service keeps its own reference to the server for as long as the annotation stands.
  return SUCCEEDED(services->SetHwndPropServer(list, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties,
                                               described ? 2 : 1, server.get(), ANNO_CONTAINER));
}

bool SetAccessibleName(HWND control, std::wstring_view name) {
  const win32::UniqueComPtr<IAccPropServices> services = AccPropServices();
  const std::wstring terminated(name);
  return services && SUCCEEDED(services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                                        PROPID_ACC_NAME, terminated.c_str()));
}

void ClearAccessibleName(HWND control) {
  if (const win32::UniqueComPtr<IAccPropServices> services = AccPropServices()) {
    MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
    services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties, 2);
  }
}

}  // namespace tallow
