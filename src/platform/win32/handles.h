// Owners for the Windows handles this program uses: each is a std::unique_ptr whose stateless
// deleter knows how to release its kind. Move-only, so nothing is released twice.
#pragma once

#include <windows.h>
// The COM and shell headers build on <windows.h>.
#include <objbase.h>
#include <shtypes.h>

#include <memory>
#include <type_traits>

namespace tallow::win32 {

// Releases a handle of type Handle with Release; a null handle is empty and never released.
template <typename Handle, auto Release>
struct HandleDeleter {
  using pointer = Handle;
  void operator()(Handle handle) const noexcept { Release(handle); }
};

template <typename Handle, auto Release>
using UniqueHandleOf = std::unique_ptr<std::remove_pointer_t<Handle>, HandleDeleter<Handle, Release>>;

// Kernel objects, file and search handles report failure as INVALID_HANDLE_VALUE, not null.
// Pass them through this so that the owner sees a failure as empty.
inline HANDLE NullIfInvalid(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }

using UniqueHandle = UniqueHandleOf<HANDLE, &CloseHandle>;
using UniqueFindHandle = UniqueHandleOf<HANDLE, &FindClose>;
using UniqueHkey = UniqueHandleOf<HKEY, &RegCloseKey>;
using UniqueHfont = UniqueHandleOf<HFONT, &DeleteObject>;
using UniqueHmenu = UniqueHandleOf<HMENU, &DestroyMenu>;
using UniqueHmodule = UniqueHandleOf<HMODULE, &FreeLibrary>;
// The screen's device context, as GetDC(nullptr) gives it.
inline void ReleaseScreenDc(HDC dc) { ReleaseDC(nullptr, dc); }
using UniqueScreenDc = UniqueHandleOf<HDC, &ReleaseScreenDc>;
// Item-id lists from the shell are allocated with the COM task allocator.
using UniquePidl = UniqueHandleOf<PIDLIST_ABSOLUTE, &CoTaskMemFree>;

// A COM interface pointer, released once.
struct ComReleaser {
  void operator()(IUnknown* object) const noexcept { object->Release(); }
};
template <typename Interface>
using UniqueComPtr = std::unique_ptr<Interface, ComReleaser>;

// Creates an in-process COM object; empty when the system does not provide it.
template <typename Interface>
UniqueComPtr<Interface> CreateComObject(REFCLSID clsid, REFIID iid) {
  void* object = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, &object))) return nullptr;
  return UniqueComPtr<Interface>(static_cast<Interface*>(object));
}

// COM on the calling thread as a single-threaded apartment, as the shell's dialogs need.
// Tolerates a thread already initialised either way; uninitialises only what it initialised.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();  // S_FALSE also counts a reference
  }

 private:
  HRESULT result_;
};

}  // namespace tallow::win32
