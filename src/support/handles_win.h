// Small owners of Windows handles so that clean-up happens on every path,
// for the program and every Windows-only file below it.
#pragma once

#include <windows.h>

#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>

namespace vx {

// A kernel object's handle (file, pipe, event, process, snapshot), closed
// with the owner. Null and INVALID_HANDLE_VALUE both count as no handle:
// the system answers a failure with one or the other, by function.
class THandle {
 public:
  explicit THandle(HANDLE handle = INVALID_HANDLE_VALUE) : FHandle(handle) {}
  ~THandle() { Reset(); }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;

  HANDLE Get() const { return FHandle; }
  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr; }
  // Hands the handle over to the caller, who closes it from now on.
  HANDLE Release() {
    HANDLE handle = FHandle;
    FHandle = INVALID_HANDLE_VALUE;
    return handle;
  }
  void Reset(HANDLE handle = INVALID_HANDLE_VALUE) {
    if (Valid()) CloseHandle(FHandle);
    FHandle = handle;
  }

 private:
  HANDLE FHandle;
};

// A search begun with FindFirstFileA, ended with the owner.
class TFindHandle {
 public:
  explicit TFindHandle(HANDLE search) : FSearch(search) {}
  ~TFindHandle() {
    if (Valid()) FindClose(FSearch);
  }
  TFindHandle(const TFindHandle&) = delete;
  TFindHandle& operator=(const TFindHandle&) = delete;

  bool Valid() const { return FSearch != INVALID_HANDLE_VALUE; }

 private:
  HANDLE FSearch;
};

// Memory that a system function allocated for the caller with LocalAlloc
// (FormatMessageA, ConvertSidToStringSidA), freed with LocalFree.
template <typename T>
class TLocalMemory {
 public:
  TLocalMemory() = default;
  ~TLocalMemory() {
    if (FMemory) LocalFree(FMemory);
  }
  TLocalMemory(const TLocalMemory&) = delete;
  TLocalMemory& operator=(const TLocalMemory&) = delete;

  T* Get() const { return FMemory; }
  // For the out parameter of a function, while the owner is empty; the
  // memory stored there is owned from then on.
  T** Receive() { return &FMemory; }

 private:
  T* FMemory = nullptr;
};

// A GDI object (font, brush) deleted with the owner.
template <typename T>
class TGdiObject {
 public:
  explicit TGdiObject(T handle = nullptr) : FHandle(handle) {}
  ~TGdiObject() { Reset(); }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;

  void Reset(T handle = nullptr) {
    if (FHandle) DeleteObject(FHandle);
    FHandle = handle;
  }
  T Get() const { return FHandle; }

 private:
  T FHandle;
};

// Selects an object into a device context and puts the old one back.
class TSelectObject {
 public:
  TSelectObject(HDC dc, HGDIOBJ object) : FDc(dc), FOld(SelectObject(dc, object)) {}
  ~TSelectObject() { SelectObject(FDc, FOld); }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;

 private:
  HDC FDc;
  HGDIOBJ FOld;
};

// The screen's device context, released with the owner.
class TScreenDc {
 public:
  TScreenDc() : FDc(GetDC(nullptr)) {}
  ~TScreenDc() { ReleaseDC(nullptr, FDc); }
  TScreenDc(const TScreenDc&) = delete;
  TScreenDc& operator=(const TScreenDc&) = delete;
  HDC Get() const { return FDc; }

 private:
  HDC FDc;
};

// COM for the calling thread; uninitialised only when this call succeeded
// (S_FALSE, already initialised, counts and must be balanced too).
class TComInit {
 public:
  TComInit() : FResult(CoInitialize(nullptr)) {}
  ~TComInit() {
    if (SUCCEEDED(FResult)) CoUninitialize();
  }
  TComInit(const TComInit&) = delete;
  TComInit& operator=(const TComInit&) = delete;

 private:
  HRESULT FResult;
};

// OLE for the calling thread (drag and drop needs it, COM comes with it);
// uninitialised only when this call succeeded.
class TOleInit {
 public:
  TOleInit() : FResult(OleInitialize(nullptr)) {}
  ~TOleInit() {
    if (SUCCEEDED(FResult)) OleUninitialize();
  }
  TOleInit(const TOleInit&) = delete;
  TOleInit& operator=(const TOleInit&) = delete;

 private:
  HRESULT FResult;
};

// Holds one reference to a COM object and releases it.
template <typename T>
class TComRef {
 public:
  TComRef() = default;
  // Takes over a reference the caller already holds.
  explicit TComRef(T* object) : FObject(object) {}
  ~TComRef() { Reset(); }
  TComRef(const TComRef&) = delete;
  TComRef& operator=(const TComRef&) = delete;

  // Releases the reference held and takes over the caller's reference to
  // object, if any.
  void Reset(T* object = nullptr) {
    if (FObject) FObject->Release();
    FObject = object;
  }
  T* Get() const { return FObject; }
  T* operator->() const { return FObject; }
  // For functions that return a new reference through an out parameter.
  T** Receive() {
    Reset();
    return &FObject;
  }

 private:
  T* FObject = nullptr;
};

// A shell item identifier list, freed with ILFree.
class TItemIdList {
 public:
  explicit TItemIdList(PIDLIST_ABSOLUTE list) : FList(list) {}
  ~TItemIdList() {
    if (FList) ILFree(FList);
  }
  TItemIdList(const TItemIdList&) = delete;
  TItemIdList& operator=(const TItemIdList&) = delete;
  PIDLIST_ABSOLUTE Get() const { return FList; }

 private:
  PIDLIST_ABSOLUTE FList;
};

}  // namespace vx
