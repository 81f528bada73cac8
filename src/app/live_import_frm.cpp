#include "app/live_import_frm.h"

#include <functional>

#include "actions/exchange_trace_switch.h"
#include "app/application.h"
#include "app/form_position.h"
#include "app/shell_actions.h"
#include "documents/file_name_template.h"
#include "hostlink/host_commands.h"
#include "settings/file_dialog.h"
#include "settings/settings_store.h"
#include "support/errors.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/streams.h"
#include "ui/main_window_frame_win.h"
#include "ui/screen_win.h"
#include "ui/window_caption.h"
#include "ui/window_style.h"

namespace vx {

namespace {

constexpr int kButtonWriteId = 201;
constexpr int kButtonReadId = 202;
// Where the window would stand before the placement moves it.
constexpr int kDesignLeft = 294;
constexpr int kDesignTop = 185;
const char kLinkLine[] = "  <A href=\"c\">Nur Inhalt Kopieren</A>  <A href=\"x\">Vorlage Dateiname</A>";

// A failing start-up step is reported and the next one still runs, so the
// window always comes up placed and captioned.
void RunStartupStep(const std::function<void()>& step) {
  try {
    step();
  } catch (...) {
    ShowException(std::current_exception());
  }
}

// The stored sound: the size as 32-bit number, then the wave file.
void LoadWave(TWave& wave) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(module, "WAVE1", MAKEINTRESOURCEA(10));  // RT_RCDATA
  HGLOBAL data = info ? LoadResource(module, info) : nullptr;
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) return;
  TMemoryStream stream;
  stream.SetData(std::string(static_cast<const char*>(bytes), SizeofResource(module, info)));
  wave.WaveData.ReadData(stream);
}

}  // namespace

TLiveImportFrm::TLiveImportFrm() {
  RegisterWindowClass(kClassName, LoadIconA(GetModuleHandleA(nullptr), "MAINICON"),
                      GetSysColorBrush(COLOR_BTNFACE));
  if (!CreateHandle(kMainWindowExStyle, kClassName, ApplicationTitle().c_str(), kMainWindowStyle,
                    MainWindowBounds(kDesignLeft, kDesignTop), nullptr, nullptr)) {
    throw Exception(SysErrorMessage(LastOsError()));
  }
  SetMainWindow(Handle());
  CreateComponents();
  FormCreate();
}

TLiveImportFrm::~TLiveImportFrm() {
  if (Handle()) DestroyWindow(Handle());
}

void TLiveImportFrm::CreateComponents() {
  RunStartupStep([this] { LoadWave(Wave1); });
  FUserInterface = std::make_unique<TWinUserInterface>(Handle(), Wave1);
  DropFileTarget1.Reset(TDropFileTarget::Create(
      [this](const std::vector<std::string>& fileNames) { PostOrderFiles(fileNames); },
      [this] { return FRunningActions == 0; }));
  // Creation order is the tab order: the two buttons, then the label's
  // two links.
  ButtonWrite = CreateButton("\xd6" "ffnen und nach VX senden", kButtonWriteId, 8);
  ButtonRead = CreateButton("VX Auftrag speichern", kButtonReadId, 203);
  HTMLabel1 = std::make_unique<THtmlLabel>(Handle(), RECT{0, 73, kMainClientWidth, kMainClientHeight}, THtmlLabelStyle{});
  HTMLabel1->SetHtmlText(kLinkLine);
  HTMLabel1->OnAnchorClick = [this](const std::string& target) { HTMLabel1AnchorClick(target); };
  UsePanelFont();
}

HWND TLiveImportFrm::CreateButton(const char* caption, int id, int left) {
  return CreateWindowExA(0, "BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, left, 8, 190, 49,
                         Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                         nullptr);
}

// The buttons and the link line take Panel1's font and colour.
void TLiveImportFrm::UsePanelFont() {
  FFont.Reset(CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Panel1.FontName.c_str()));
  for (HWND button : {ButtonWrite, ButtonRead}) {
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), TRUE);
  }
  THtmlLabelStyle linkStyle;
  linkStyle.FontName = Panel1.FontName;
  linkStyle.FontHeight = -12;
  linkStyle.TextColor = RGB(128, 128, 128);
  linkStyle.LinkColor = RGB(0, 0, 255);
  linkStyle.Background = Panel1.Color;
  HTMLabel1->SetStyle(linkStyle);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TLiveImportFrm::FormCreate() {
  RunStartupStep([] { SetSettingsFolder(GetClientRootFolder() + kProgramKey); });
  RunStartupStep([] { StartExchangeTrace(SettingsFolder()); });
  // Creates the template file when it is missing, so the link always finds it.
  RunStartupStep([] { LoadFileNameTemplate(); });
  // FTempFiles exists with the window; the document must exist before any
  // action can run.
  FOrderDocument = NewOrderDocument();
  RunStartupStep([] { LocateExchangeServer(); });
  RunStartupStep([this] {
    ApplyLookAndFeel(kClassName, {{"TPanel", "Panel1", &Panel1.Color, &Panel1.FontName}});
    UsePanelFont();
  });
  RunStartupStep([this] { PlaceNearHostWindow(ReadIPCValueSync("OFFICEMETRICS"), 2); });
  RunStartupStep([this] { UpdateCaption(); });
  RunStartupStep([] { ResetDialogFilterIndex(kProgramKey); });
}

void TLiveImportFrm::Show() {
  ShowWindow(Handle(), SW_SHOW);
  FormShow();
}

void TLiveImportFrm::FormShow() {
  // Without a display or OLE the window simply takes no drops.
  RegisterDragDrop(Handle(), DropFileTarget1.Get());
  BringToForeground(Handle());
  SetFocus(ButtonWrite);
}

void TLiveImportFrm::FormDestroy() {
  RevokeDragDrop(Handle());
  FOrderDocument.reset();
  // One attempt each; a file that stays is not reported.
  for (const std::string& fileName : FTempFiles.Lines()) DeleteFileIfPresent(fileName);
  FTempFiles.Clear();
}

void TLiveImportFrm::UpdateCaption() {
  SetWindowTextA(Handle(), DatabaseCaption(ReadIPCValueSync("DBPATH")).c_str());
}

void TLiveImportFrm::PlaceNearHostWindow(const std::string& answer, int mode) {
  const TPlacement placement = PlaceNearHost(answer, mode, WindowBounds(Handle()), GetSystemMetrics(SM_CXSCREEN),
                                             GetSystemMetrics(SM_CYSCREEN), ScreenMonitors());
  SetWindowPos(Handle(), nullptr, placement.Window.Left, placement.Window.Top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (placement.Monitor >= 0) FMonitor = placement.Monitor;
  KeepOnMonitor();
}

void TLiveImportFrm::KeepOnMonitor() { vx::KeepOnMonitor(Handle(), FMonitor, false); }

TOrderActionContext TLiveImportFrm::ActionContext() {
  return TOrderActionContext{*FUserInterface, FOrderDocument.get(), FTempFiles, [this] { UpdateCaption(); }};
}

void TLiveImportFrm::RunAction(const std::function<void()>& action) {
  struct TRunning {
    TLiveImportFrm& Form;
    explicit TRunning(TLiveImportFrm& form) : Form(form) { ++Form.FRunningActions; }
    ~TRunning() {
      if (--Form.FRunningActions == 0 && Form.FCloseRequested) PostMessageA(Form.Handle(), WM_CLOSE, 0, 0);
    }
  } running(*this);
  action();
}

void TLiveImportFrm::ButtonReadClick() {
  RunAction([this] { vx::ButtonReadClick(ActionContext()); });
}

void TLiveImportFrm::ButtonWriteClick() {
  RunAction([this] { vx::ButtonWriteClick(ActionContext()); });
}

void TLiveImportFrm::PostOrderFiles(const std::vector<std::string>& fileNames) {
  RunAction([this, &fileNames] { vx::PostOrderFiles(ActionContext(), fileNames); });
}

bool TLiveImportFrm::CopyPositionsToClipboard() {
  bool copied = false;
  RunAction([this, &copied] { copied = vx::CopyPositionsToClipboard(ActionContext()); });
  return copied;
}

void TLiveImportFrm::ClickFocusedButton() {
  HWND focus = GetFocus();
  if (focus == ButtonWrite || focus == ButtonRead) SendMessageA(focus, BM_CLICK, 0, 0);
}

void TLiveImportFrm::HTMLabel1AnchorClick(const std::string& target) {
  if (target == "x") {
    ShowFileSelected(GetTemplateFileName());
  } else if (target == "c") {
    UpdateCaption();
    if (CopyPositionsToClipboard()) Wave1.Play();
  }
}

LRESULT TLiveImportFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      // Panel1 fills the client area.
      RECT client{};
      GetClientRect(Handle(), &client);
      TGdiObject<HBRUSH> brush(CreateSolidBrush(Panel1.Color));
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush.Get());
      return 1;
    }
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) break;
      if (LOWORD(wParam) == kButtonReadId) ButtonReadClick();
      if (LOWORD(wParam) == kButtonWriteId) ButtonWriteClick();
      // Enter: the dialog navigation asks for the default button. The
      // window has none, so Enter clicks the focused button, as Space does.
      if (LOWORD(wParam) == IDOK) ClickFocusedButton();
      return 0;
    case WM_ACTIVATE:
      // As a dialog does: a keyboard user who answered a message box is
      // back on the button or link that opened it.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        FFocusedControl = focus && IsChild(Handle(), focus) ? focus : nullptr;
        break;
      }
      if (!FFocusedControl || !IsWindow(FFocusedControl)) break;
      SetFocus(FFocusedControl);
      return 0;
    case WM_CLOSE:
      if (FRunningActions == 0) break;
      FCloseRequested = true;
      return 0;
    case WM_DESTROY:
      FormDestroy();
      SetMainWindow(nullptr);
      PostQuitMessage(0);
      return 0;
  }
  return DefaultHandler(message, wParam, lParam);
}

}  // namespace vx
