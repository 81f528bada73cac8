// The drop target of the window: takes files dragged from the shell (the
// CF_HDROP format), offers the drag source only copy and link, and hands
// the dropped names in the drop's order to its handler. The source is
// always told "none" on a drop, so it never deletes files as after a move.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace vx {

class TDropFileTarget : public IDropTarget {
 public:
  using TDropHandler = std::function<void(const std::vector<std::string>& fileNames)>;
  // Asked at every step of a drag; false while the window is busy, which
  // refuses the drag and ignores a drop.
  using TReadyTest = std::function<bool()>;

  // A new object with one reference, which the caller releases. The
  // handler runs on the window's thread inside Drop; an error it raises is
  // reported as the window reports errors, never passed to the source.
  static TDropFileTarget* Create(TDropHandler onDrop, TReadyTest isReady);

  // The file names of a CF_HDROP data object in its order; none when it
  // has no such format.
  static std::vector<std::string> DroppedFileNames(IDataObject* data);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

 private:
  TDropFileTarget(TDropHandler onDrop, TReadyTest isReady)
      : FOnDrop(std::move(onDrop)), FIsReady(std::move(isReady)) {}
  virtual ~TDropFileTarget() = default;

  // What the window accepts of the effects the source allows.
  DWORD AcceptedEffect(DWORD keyState, DWORD allowed) const;
  bool IsReady() const { return !FIsReady || FIsReady(); }

  TDropHandler FOnDrop;
  TReadyTest FIsReady;
  std::atomic<ULONG> FReferences{1};
  bool FAccepting = false;  // the data being dragged holds files
};

}  // namespace vx
