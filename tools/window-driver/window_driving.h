// Working the program's windows from another process as a user would:
// finding them, waiting for them, answering the common file dialogs and
// reading the clipboard. Shared by window-driver and the end-to-end tests.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace vx::driving {

// The top-level window of the class (and caption, unless null) once it is
// visible; null before.
inline HWND VisibleWindow(const char* className, const char* caption = nullptr) {
  HWND window = FindWindowA(className, caption);
  return window && IsWindowVisible(window) ? window : nullptr;
}

// A visible top-level window of the class in the process; null when none.
inline HWND ProcessWindow(DWORD processId, const std::string& className) {
  struct TSearch {
    DWORD ProcessId;
    std::string ClassName;
    HWND Found = nullptr;
  } search{processId, className};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<TSearch*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char name[64] = "";
        GetClassNameA(window, name, sizeof(name));
        if (owner != s.ProcessId || s.ClassName != name || !IsWindowVisible(window)) return TRUE;
        s.Found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// The text of a window of any process: GetWindowText does not read another
// process's controls.
inline std::string TextOf(HWND window) {
  char text[4096] = "";
  SendMessageA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
  return text;
}

// Lets the window's thread handle everything posted to it so far.
inline void Settle(HWND window) {
  for (int i = 0; i < 3; ++i) SendMessageA(window, WM_NULL, 0, 0);
}

// Waits about that long while handling the calling thread's messages, so
// that a window of the caller answers the system meanwhile (activation goes
// through the message queues of both sides).
inline void PumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
  }
}

// What find gives once it gives a window; null after the time is up.
inline HWND WaitFor(const std::function<HWND()>& find, int milliseconds = 20000) {
  for (int waited = 0; waited < milliseconds; waited += 50) {
    if (HWND window = find()) return window;
    PumpFor(50);
  }
  return find();
}

// False when the window is still there after the time.
inline bool WaitUntilGone(HWND window, int milliseconds = 20000) {
  for (int waited = 0; waited < milliseconds && IsWindow(window); waited += 50) PumpFor(50);
  return !IsWindow(window);
}

// Calls measure with a device context holding the font of the window's
// link label (Tahoma, 12 pixels) and gives back its result.
inline int MeasureInLabelFont(bool underlined, bool bold, const std::function<int(HDC)>& measure) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(-12, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underlined, FALSE, ANSI_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           "Tahoma");
  HGDIOBJ old = SelectObject(dc, font);
  const int result = measure(dc);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  return result;
}

// The width of a text in the label's font, measured as the label measures
// it, to find where a link is drawn.
inline int LabelTextWidth(const std::string& text, bool underlined, bool bold = false) {
  return MeasureInLabelFont(underlined, bold, [&text](HDC dc) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  });
}

// The file-name field of a common file dialog: ComboBoxEx32, ComboBox and
// Edit all carry the id 0x47c, and only the Edit takes the name.
inline HWND FileNameEdit(HWND dialog) {
  HWND found = nullptr;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM data) -> BOOL {
        char name[32] = "";
        GetClassNameA(child, name, sizeof(name));
        if (GetDlgCtrlID(child) != 0x47c || std::string(name) != "Edit") return TRUE;
        *reinterpret_cast<HWND*>(data) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// A box the dialog opened over itself (a question, or a name it cannot
// use): another window of the same program, owned by it.
inline bool QuestionOver(HWND dialog) {
  struct TSearch {
    HWND Dialog;
    bool Found = false;
  } search{dialog};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<TSearch*>(data);
        if (GetWindow(window, GW_OWNER) != s.Dialog || !IsWindowVisible(window)) return TRUE;
        s.Found = true;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// Goes to folder (ending in "\") in a common file dialog as a user would:
// types it into the name field and confirms it, which opens the folder and
// leaves the dialog open. A dialog that takes several files does not find
// a full path in its name field, so both dialogs are worked this way. The
// name field is left empty or as the dialog fills it; false when the
// dialog did not open the folder.
inline bool OpenDialogFolder(HWND dialog, const std::string& folder) {
  HWND edit = FileNameEdit(dialog);
  if (!edit) return false;
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  // Sent with a limit: for a folder it does not know, the dialog opens a
  // box and waits.
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(dialog, WM_COMMAND, IDOK, 0, SMTO_NORMAL, 5000, &result) && IsWindowVisible(dialog) &&
         !QuestionOver(dialog);
}

// A window of this process that may open the clipboard (Windows wants an
// owner; an HWND_MESSAGE window is enough).
class TClipboardReader {
 public:
  TClipboardReader()
      : FOwner(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
  ~TClipboardReader() { DestroyWindow(FOwner); }
  TClipboardReader(const TClipboardReader&) = delete;
  TClipboardReader& operator=(const TClipboardReader&) = delete;

  void Empty() {
    if (!OpenClipboard(FOwner)) return;
    EmptyClipboard();
    CloseClipboard();
  }
  // The whole block of the registered format; empty when there is none.
  // The system may round the block's size up.
  std::string Block(const char* formatName) {
    std::string bytes;
    if (!OpenClipboard(FOwner)) return bytes;
    if (HANDLE data = GetClipboardData(RegisterClipboardFormatA(formatName))) {
      if (const void* locked = GlobalLock(data)) {
        bytes.assign(static_cast<const char*>(locked), GlobalSize(data));
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
    return bytes;
  }

 private:
  HWND FOwner;
};

}  // namespace vx::driving
