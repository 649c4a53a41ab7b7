// What screen readers hear of the names list, asked of its row-name server as the system's
// annotation service would (Wine's service answers nothing, so a stand-in decodes the rows).
#include "window/win32/accessible_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

namespace tallow {
namespace {

// Takes an identity to be the row's child id itself; answers nothing else.
class RowIdentities final : public IAccPropServices {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE* identity, DWORD length, HWND* window, DWORD* object,
                                                        DWORD* child) override {
    if (length != sizeof(DWORD)) return E_INVALIDARG;
    *window = nullptr;
    *object = static_cast<DWORD>(OBJID_CLIENT);
    std::memcpy(child, identity, sizeof(DWORD));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                          AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND, DWORD, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                              AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND, DWORD, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                               AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
    return E_NOTIMPL;
  }

  ULONG references = 1;
};

// The name (or other property) asked for the child id, or nullopt when the server has none.
std::optional<std::wstring> NameOf(IAccPropServer& server, DWORD child, MSAAPROPID property = PROPID_ACC_NAME) {
  VARIANT value;
  BOOL has = FALSE;
  EXPECT_EQ(server.GetPropValue(reinterpret_cast<const BYTE*>(&child), sizeof child, property, &value, &has), S_OK);
  if (!has) return std::nullopt;
  EXPECT_EQ(value.vt, VT_BSTR);
  std::wstring name(value.bstrVal, SysStringLen(value.bstrVal));
  VariantClear(&value);
  return name;
}

TEST(RowTextServer, NamesTheListAndEachRowAndNothingPastTheLast) {
  RowIdentities services;
  const std::vector<std::wstring> rows = {L"a[1].gif", L"缓存[1].gif", L"c[1].gif"};
  services.AddRef();
  {
    const win32::UniqueComPtr<IAccPropServer> server = MakeRowTextServer(
        win32::UniqueComPtr<IAccPropServices>(&services), L"缓存文件",
        [&](size_t row) -> std::optional<std::wstring> {
          if (row >= rows.size()) return std::nullopt;
          return rows[row];
        },
        [&](size_t row) -> std::optional<std::wstring> { return L"about " + rows.at(row); });
    EXPECT_EQ(NameOf(*server, CHILDID_SELF), L"缓存文件");
    for (DWORD child = 1; child <= rows.size(); ++child) EXPECT_EQ(NameOf(*server, child), rows[child - 1]);
    EXPECT_EQ(NameOf(*server, 4), std::nullopt);
    EXPECT_EQ(NameOf(*server, 0xFFFFFFFF), std::nullopt);
    EXPECT_EQ(NameOf(*server, 2, PROPID_ACC_DESCRIPTION), L"about 缓存[1].gif");
    EXPECT_EQ(NameOf(*server, CHILDID_SELF, PROPID_ACC_DESCRIPTION), std::nullopt);
  }
  EXPECT_EQ(services.references, 1u);  // the server let go of the service
}

}  // namespace
}  // namespace tallow
