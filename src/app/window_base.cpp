#include "app/window_base.h"

#include "app/application.h"
#include "app/busy_cursor.h"

namespace vx {

TWindowBase::~TWindowBase() {
  if (!FHandle) return;
  // The object goes first: later messages must not reach it.
  SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
  DestroyWindow(FHandle);
}

void TWindowBase::RegisterWindowClass(const char* className, HICON icon, HBRUSH background) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &existing)) return;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hIcon = icon;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = className;
  RegisterClassExA(&windowClass);
}

bool TWindowBase::CreateHandle(DWORD exStyle, const char* className, const char* caption, DWORD style,
                               const RECT& bounds, HWND parent, HMENU id) {
  return CreateWindowExA(exStyle, className, caption, style, bounds.left, bounds.top, bounds.right - bounds.left,
                         bounds.bottom - bounds.top, parent, id, GetModuleHandleA(nullptr), this) != nullptr;
}

LRESULT TWindowBase::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETCURSOR) {
    if (HCURSOR cursor = ApplicationCursor()) {
      SetCursor(cursor);
      return TRUE;
    }
  }
  return DefWindowProcA(FHandle, message, wParam, lParam);
}

LRESULT CALLBACK TWindowBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TWindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->FHandle = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TWindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->FHandle = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    ShowException(std::current_exception());
    return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace vx
