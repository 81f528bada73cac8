#include "app/drop_file_target.h"

#include <shellapi.h>

#include "app/application.h"
#include "support/handles_win.h"

namespace vx {

namespace {

FORMATETC FileDropFormat() { return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// The medium of one GetData call, released on every path.
class TStorageMedium {
 public:
  TStorageMedium() = default;
  ~TStorageMedium() {
    if (FFilled) ReleaseStgMedium(&Medium);
  }
  TStorageMedium(const TStorageMedium&) = delete;
  TStorageMedium& operator=(const TStorageMedium&) = delete;

  bool Fill(IDataObject* data) {
    FORMATETC format = FileDropFormat();
    FFilled = SUCCEEDED(data->GetData(&format, &Medium));
    return FFilled;
  }

  STGMEDIUM Medium{};

 private:
  bool FFilled = false;
};

// The locked memory of a global block.
class TGlobalLock {
 public:
  explicit TGlobalLock(HGLOBAL memory) : FMemory(memory), FBytes(GlobalLock(memory)) {}
  ~TGlobalLock() {
    if (FBytes) GlobalUnlock(FMemory);
  }
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;

  void* Get() const { return FBytes; }

 private:
  HGLOBAL FMemory;
  void* FBytes;
};

}  // namespace

TDropFileTarget* TDropFileTarget::Create(TDropHandler onDrop, TReadyTest isReady) {
  return new TDropFileTarget(std::move(onDrop), std::move(isReady));
}

std::vector<std::string> TDropFileTarget::DroppedFileNames(IDataObject* data) {
  std::vector<std::string> names;
  TStorageMedium storage;
  if (!data || !storage.Fill(data) || storage.Medium.tymed != TYMED_HGLOBAL) return names;
  TGlobalLock lock(storage.Medium.hGlobal);
  if (!lock.Get()) return names;
  auto drop = static_cast<HDROP>(lock.Get());
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileA(drop, i, nullptr, 0);
    std::string name(length + 1, '\0');
    DragQueryFileA(drop, i, name.data(), length + 1);
    name.resize(length);
    names.push_back(std::move(name));
  }
  return names;
}

HRESULT STDMETHODCALLTYPE TDropFileTarget::QueryInterface(REFIID id, void** object) {
  if (!object) return E_POINTER;
  if (id == IID_IUnknown || id == IID_IDropTarget) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TDropFileTarget::AddRef() { return ++FReferences; }

ULONG STDMETHODCALLTYPE TDropFileTarget::Release() {
  const ULONG left = --FReferences;
  if (left == 0) delete this;
  return left;
}

DWORD TDropFileTarget::AcceptedEffect(DWORD keyState, DWORD allowed) const {
  if (!FAccepting || !IsReady()) return DROPEFFECT_NONE;
  // Control and shift together ask for a link, as in the shell.
  const bool wantsLink = (keyState & MK_CONTROL) && (keyState & MK_SHIFT);
  if (wantsLink && (allowed & DROPEFFECT_LINK)) return DROPEFFECT_LINK;
  if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
  if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
  return DROPEFFECT_NONE;
}

HRESULT STDMETHODCALLTYPE TDropFileTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  FORMATETC format = FileDropFormat();
  FAccepting = data && data->QueryGetData(&format) == S_OK;
  *effect = AcceptedEffect(keyState, *effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TDropFileTarget::DragOver(DWORD keyState, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  *effect = AcceptedEffect(keyState, *effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TDropFileTarget::DragLeave() {
  FAccepting = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TDropFileTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  *effect = DROPEFFECT_NONE;
  const bool accepting = FAccepting;
  FAccepting = false;
  // A drop while an action runs (its dialog or message open) would reload
  // the document that action works on.
  if (!accepting || !IsReady()) return S_OK;
  const std::vector<std::string> names = DroppedFileNames(data);
  if (names.empty() || !FOnDrop) return S_OK;
  // The handler may show message boxes and talk to the host; the source
  // waits meanwhile, but it must never see an exception. The window may
  // close in the handler's message loops and revoke this target, so the
  // target holds itself until it returns.
  AddRef();
  TComRef<TDropFileTarget> self(this);
  try {
    FOnDrop(names);
  } catch (...) {
    ShowException(std::current_exception());
  }
  return S_OK;
}

}  // namespace vx
