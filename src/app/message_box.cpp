#include "app/message_box.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "app/application.h"
#include "app/form_position.h"
#include "app/html_label.h"
#include "app/shell_actions.h"
#include "app/window_base.h"
#include "support/errors.h"
#include "support/handles_win.h"
#include "ui/html_message.h"
#include "ui/window_style.h"

namespace vx {

namespace {

// The layout in pixels. The message fills the width inside the border;
// below it, after another border, the button panel: the icon at its left,
// "Hilfe" beside it, and an inner panel at its right with "Schließen", or
// with "Nein" and "Ja" to its left.
constexpr int kClientWidth = 406;
constexpr int kBorderWidth = 2;
constexpr int kInnerWidth = kClientWidth - 2 * kBorderWidth;
constexpr int kButtonPanelHeight = 35;
// What the client area holds beside the message label.
constexpr int kClientHeightBesideMessage = kBorderWidth + kButtonPanelHeight;
// The height before the message is known.
constexpr int kFirstClientHeight = 100;
constexpr int kIconMargin = 5;
constexpr int kIconSize = 24;
constexpr int kButtonTop = 4;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 6;
constexpr int kHelpButtonLeft = 93;
constexpr int kHelpButtonWidth = 94;
constexpr int kClosePanelWidth = 89;
constexpr int kCloseButtonLeft = 7;
constexpr int kCloseButtonWidth = 77;
// Below the help text.
constexpr int kHelpPanelPadding = 5;
// Tahoma 8 pt at 96 dots per inch.
constexpr int kFontHeight = -11;
// A screen wider than this gets larger texts (labels 10 pt, buttons 9 pt)
// and a close panel this much wider, whose button fills it but for its
// own small margins.
constexpr int kWideScreenWidth = 800;
constexpr int kWideLabelPoints = 10;
constexpr int kWideButtonPoints = 9;
constexpr double kWideClosePanelGrowth = 1.1;
constexpr int kWideCloseButtonLeft = 2;
// The box is at most this share of the screen's height.
constexpr double kMaxScreenHeightShare = 0.7;
constexpr int kCloseButtonId = 101;
constexpr int kHelpButtonId = 102;
constexpr int kYesButtonId = 103;
constexpr int kNoButtonId = 104;
// Posted after the box lost activation, so that it takes the front back
// once the activation change is complete.
constexpr UINT kComeToFront = WM_APP + 1;

int FontHeightForPoints(int points) {
  TScreenDc screen;
  return -MulDiv(points, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
}

// Disables the thread's other top-level windows while the box is modal and
// enables them again afterwards.
class TDisabledThreadWindows {
 public:
  explicit TDisabledThreadWindows(HWND box) : FBox(box) {
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
    for (HWND window : FWindows) EnableWindow(window, FALSE);
  }
  ~TDisabledThreadWindows() {
    for (HWND window : FWindows) {
      if (IsWindow(window)) EnableWindow(window, TRUE);
    }
  }
  TDisabledThreadWindows(const TDisabledThreadWindows&) = delete;
  TDisabledThreadWindows& operator=(const TDisabledThreadWindows&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM self) {
    auto* guard = reinterpret_cast<TDisabledThreadWindows*>(self);
    if (window != guard->FBox && IsWindowVisible(window) && IsWindowEnabled(window)) {
      guard->FWindows.push_back(window);
    }
    return TRUE;
  }

  HWND FBox;
  std::vector<HWND> FWindows;
};

struct TPanelArea {
  std::string Name;
  RECT Bounds{};
  uint32_t Color = 0;
  std::string FontName = "Tahoma";
  bool Visible = true;
};

class TFSB_BOX : public TWindowBase {
 public:
  explicit TFSB_BOX(HWND owner);

  void SetContent(const std::string& message, const std::string& help, const std::string& caption);
  // Shows the yes/no panel in place of the message panel.
  void AskQuestion();
  // How the box closed: IDYES or IDNO by a question's answer, otherwise
  // IDOK or IDCANCEL (a question closed by its close box too).
  int ShowModal();

 private:
  void RunModalLoop();
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  HWND CreateButton(const char* caption, int id);
  void FormShow();
  int MaxClientHeight() const;
  int FitMessage(int maxHeight);
  void LayoutButtonPanel(int top);
  void SetClientHeight(int height);
  bool PreviewKey(const MSG& msg);
  void FollowLink(const std::string& target);
  void ShowHelp();
  void Paint();

  std::unique_ptr<THtmlLabel> FMessageLabel;
  std::unique_ptr<THtmlLabel> FHelpLabel;
  HWND FB_BREAK2 = nullptr;
  HWND FBhelpS = nullptr;
  HWND FBYes = nullptr;
  HWND FBNo = nullptr;
  TGdiObject<HFONT> FFormFont;
  TPanelArea Pmsg{"Pmsg"};
  TPanelArea PmsgRight{"PmsgRight"};
  TPanelArea Pquestion{"Pquestion"};
  TPanelArea FP_help{"FP_help"};
  int FCloseLeft = kCloseButtonLeft;
  int FCloseWidth = kCloseButtonWidth;
  int FMaxHeight = 0;
  bool FLinkFollowed = false;
  std::string FMessage;
  std::string FHelpText;
  int FModalResult = 0;
};

TFSB_BOX::TFSB_BOX(HWND owner) {
  RegisterWindowClass("TFSB_BOX", nullptr, nullptr);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
  RECT bounds{0, 0, kClientWidth, kFirstClientHeight};
  AdjustWindowRectEx(&bounds, style, FALSE, exStyle);
  if (!CreateHandle(exStyle, "TFSB_BOX", "", style, bounds, owner, nullptr)) {
    throw Exception(SysErrorMessage(LastOsError()));
  }
  // The create step.
  const bool wideScreen = GetSystemMetrics(SM_CXSCREEN) > kWideScreenWidth;
  THtmlLabelStyle labelStyle;
  labelStyle.FontHeight = wideScreen ? FontHeightForPoints(kWideLabelPoints) : kFontHeight;
  const int formFontHeight = wideScreen ? FontHeightForPoints(kWideButtonPoints) : kFontHeight;
  FFormFont.Reset(CreateFontA(formFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                              "Tahoma"));
  FMessageLabel = std::make_unique<THtmlLabel>(Handle(), RECT{kBorderWidth, kBorderWidth, kBorderWidth + kInnerWidth, kBorderWidth}, labelStyle);
  FHelpLabel = std::make_unique<THtmlLabel>(Handle(), RECT{0, 0, 0, 0}, labelStyle);
  ShowWindow(FHelpLabel->Handle(), SW_HIDE);
  PmsgRight.Bounds.right = kClosePanelWidth;
  if (wideScreen) {
    PmsgRight.Bounds.right = static_cast<int>(std::lround(kClosePanelWidth * kWideClosePanelGrowth));
    FCloseLeft = kWideCloseButtonLeft;
    FCloseWidth = PmsgRight.Bounds.right - 2 * kWideCloseButtonLeft;
  }
  auto linkCallback = [this](const std::string& target) { FollowLink(target); };
  FMessageLabel->OnAnchorClick = linkCallback;
  FHelpLabel->OnAnchorClick = linkCallback;
  for (TPanelArea* panel : {&Pmsg, &PmsgRight, &Pquestion, &FP_help}) panel->Color = GetSysColor(COLOR_BTNFACE);
  FP_help.Visible = false;
  Pquestion.Visible = false;
  FMaxHeight = static_cast<int>(std::lround(GetSystemMetrics(SM_CYSCREEN) * kMaxScreenHeightShare));
  if (DisplayScalePercent() != 100) {
    ApplyLookAndFeel("TFSB_BOX", {{"TPanel", Pmsg.Name, &Pmsg.Color, &Pmsg.FontName},
                                  {"TPanel", PmsgRight.Name, &PmsgRight.Color, &PmsgRight.FontName},
                                  {"TPanel", Pquestion.Name, &Pquestion.Color, &Pquestion.FontName},
                                  {"TPanel", FP_help.Name, &FP_help.Color, &FP_help.FontName}});
  }
  FB_BREAK2 = CreateButton("Schlie\xdf" "en", kCloseButtonId);
  FBhelpS = CreateButton("Hilfe", kHelpButtonId);
  // Creation order is the tab order.
  FBYes = CreateButton("Ja", kYesButtonId);
  FBNo = CreateButton("Nein", kNoButtonId);
}

HWND TFSB_BOX::CreateButton(const char* caption, int id) {
  HWND button = CreateWindowExA(0, "BUTTON", caption, WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, Handle(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(FFormFont.Get()), FALSE);
  return button;
}

void TFSB_BOX::SetContent(const std::string& message, const std::string& help, const std::string& caption) {
  FHelpText.clear();
  FP_help.Visible = false;
  FMessage = message;
  FMessageLabel->SetHtmlText(MessageToHtml(message));
  Pmsg.Visible = true;
  SetWindowTextA(Handle(), caption.empty() ? ApplicationTitle().c_str() : caption.c_str());
  FHelpText = help;
  ShowWindow(FBhelpS, help.empty() ? SW_HIDE : SW_SHOW);
}

void TFSB_BOX::AskQuestion() {
  Pmsg.Visible = false;
  Pquestion.Visible = true;
  ShowWindow(FBhelpS, SW_HIDE);
}

void TFSB_BOX::LayoutButtonPanel(int top) {
  Pmsg.Bounds = {kBorderWidth, top, kBorderWidth + kInnerWidth, top + kButtonPanelHeight};
  Pquestion.Bounds = Pmsg.Bounds;
  const int innerWidth = PmsgRight.Bounds.right - PmsgRight.Bounds.left;
  PmsgRight.Bounds = {Pmsg.Bounds.right - innerWidth, top, Pmsg.Bounds.right, Pmsg.Bounds.bottom};
  PmsgRight.Visible = Pmsg.Visible;
  // "Nein" takes the place of "Schließen", "Ja" stands to its left.
  const int closeLeft = PmsgRight.Bounds.left + FCloseLeft;
  const int buttonTop = top + kButtonTop;
  MoveWindow(FB_BREAK2, closeLeft, buttonTop, FCloseWidth, kButtonHeight, FALSE);
  MoveWindow(FBhelpS, Pmsg.Bounds.left + kHelpButtonLeft, buttonTop, kHelpButtonWidth, kButtonHeight, FALSE);
  MoveWindow(FBNo, closeLeft, buttonTop, FCloseWidth, kButtonHeight, FALSE);
  MoveWindow(FBYes, closeLeft - FCloseWidth - kButtonGap, buttonTop, FCloseWidth, kButtonHeight, FALSE);
  ShowWindow(FB_BREAK2, Pmsg.Visible ? SW_SHOW : SW_HIDE);
  ShowWindow(FBYes, Pquestion.Visible ? SW_SHOW : SW_HIDE);
  ShowWindow(FBNo, Pquestion.Visible ? SW_SHOW : SW_HIDE);
}

void TFSB_BOX::SetClientHeight(int height) {
  RECT bounds{0, 0, kClientWidth, height};
  AdjustWindowRectEx(&bounds, GetWindowLongA(Handle(), GWL_STYLE), FALSE, GetWindowLongA(Handle(), GWL_EXSTYLE));
  const int windowHeight = std::min(static_cast<int>(bounds.bottom - bounds.top), FMaxHeight);
  SetWindowPos(Handle(), nullptr, 0, 0, bounds.right - bounds.left, windowHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The client height that the box's height limit leaves.
int TFSB_BOX::MaxClientHeight() const {
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, GetWindowLongA(Handle(), GWL_STYLE), FALSE, GetWindowLongA(Handle(), GWL_EXSTYLE));
  return FMaxHeight - (frame.bottom - frame.top);
}

// Sets the message into its label and returns the label's height. A
// message too tall for maxHeight keeps fewer lines before the dots line,
// as the line rule does for long messages, until it fits; whatever still
// does not fit is cut off, so that the close button always stays in the box.
int TFSB_BOX::FitMessage(int maxHeight) {
  for (int lines = kMaxMessageLines; lines > 0; --lines) {
    FMessageLabel->SetHtmlText(MessageToHtml(FMessage, lines));
    const int height = FMessageLabel->HeightForWidth(kInnerWidth);
    if (height <= maxHeight) return height;
  }
  return std::max(maxHeight, 0);
}

void TFSB_BOX::FormShow() {
  const int scale = DisplayScalePercent();
  const int labelHeight = FitMessage(MaxClientHeight() * 100 / scale - kClientHeightBesideMessage);
  FMessageLabel->SetBounds({kBorderWidth, kBorderWidth, kBorderWidth + kInnerWidth, kBorderWidth + labelHeight});
  LayoutButtonPanel(labelHeight + kBorderWidth);
  int clientHeight = labelHeight + kClientHeightBesideMessage;
  if (scale != 100) clientHeight = clientHeight * scale / 100;
  SetClientHeight(clientHeight);
  KeepOnMonitor(Handle(), -1, true);
  if (scale != 100) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const TPixelRect bounds = WindowBounds(Handle());
    SetWindowPos(Handle(), nullptr, work.right / 2 - bounds.Width() / 2, work.bottom / 2 - bounds.Height() / 2, 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int TFSB_BOX::ShowModal() {
  {
    TDisabledThreadWindows disabled(Handle());
    FormShow();
    ShowWindow(Handle(), SW_SHOW);
    BringToForeground(Handle());
    // A question starts on "Nein": a key pressed in a hurry keeps the file.
    SetFocus(Pquestion.Visible ? FBNo : FB_BREAK2);
    RunModalLoop();
  }
  // Only now that its owner is enabled again may the box go: the system
  // hands the activation to the owner then, and not to another program.
  ShowWindow(Handle(), SW_HIDE);
  return FModalResult;
}

void TFSB_BOX::RunModalLoop() {
  MSG msg;
  while (FModalResult == 0 && IsWindow(Handle())) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: leave the quit for the outer loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    if (PreviewKey(msg) || IsDialogMessageA(Handle(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool TFSB_BOX::PreviewKey(const MSG& msg) {
  if (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd)) return false;
  if (msg.message == WM_CHAR && msg.wParam == VK_ESCAPE) return true;  // no beep
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  const bool alt = msg.message == WM_SYSKEYDOWN || GetKeyState(VK_MENU) < 0;
  const int key = static_cast<int>(msg.wParam);
  const TBoxKeyResult result = Pquestion.Visible
                                   ? QuestionBoxKey(key)
                                   : MessageBoxKey(key, GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, alt);
  switch (result) {
    case TBoxKeyResult::Ignore:
      return false;
    case TBoxKeyResult::Swallow:
      return true;
    case TBoxKeyResult::CloseOk:
      FModalResult = IDOK;
      return true;
    case TBoxKeyResult::CloseCancel:
      FModalResult = Pquestion.Visible ? IDNO : IDCANCEL;
      return true;
    case TBoxKeyResult::PressFocused:
      if (GetFocus() == FBYes) FModalResult = IDYES;
      if (GetFocus() == FBNo) FModalResult = IDNO;
      return true;
  }
  return false;
}

void TFSB_BOX::FollowLink(const std::string& target) {
  const TLinkAction action = MessageLinkAction(target);
  switch (action.Kind) {
    case TLinkKind::None:
      return;
    case TLinkKind::SelectFile:
      // A path the shell cannot parse opens nothing and still closes the box.
      ShowFileSelected(action.Target);
      break;
    case TLinkKind::ShellOpen:
      if (!ShellOpen(action.Target)) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
      }
      break;
  }
  FLinkFollowed = true;
  FModalResult = IDCANCEL;
}

void TFSB_BOX::ShowHelp() {
  if (FHelpText.empty() || FP_help.Visible) return;
  FHelpLabel->SetHtmlText(MessageToHtml(FHelpText));
  const int helpHeight = FHelpLabel->HeightForWidth(kInnerWidth);
  RECT client{};
  GetClientRect(Handle(), &client);
  const int panelHeight = helpHeight + kHelpPanelPadding;
  FP_help.Bounds = {kBorderWidth, client.bottom, kBorderWidth + kInnerWidth, client.bottom + panelHeight};
  FP_help.Visible = true;
  FHelpLabel->SetBounds({FP_help.Bounds.left, FP_help.Bounds.top, FP_help.Bounds.right, FP_help.Bounds.top + helpHeight});
  ShowWindow(FHelpLabel->Handle(), SW_SHOW);
  SetClientHeight(client.bottom + panelHeight);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TFSB_BOX::Paint() {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(Handle(), &paint);
  RECT client{};
  GetClientRect(Handle(), &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  for (const TPanelArea* panel : {&Pmsg, &PmsgRight, &Pquestion, &FP_help}) {
    if (!panel->Visible) continue;
    TGdiObject<HBRUSH> brush(CreateSolidBrush(panel->Color));
    FillRect(dc, &panel->Bounds, brush.Get());
  }
  if (Pmsg.Visible || Pquestion.Visible) {
    const RECT& panel = Pmsg.Visible ? Pmsg.Bounds : Pquestion.Bounds;
    DrawIconEx(dc, panel.left + kIconMargin, panel.top + kIconMargin,
               LoadIcon(nullptr, Pmsg.Visible ? IDI_INFORMATION : IDI_QUESTION), kIconSize, kIconSize, 0, nullptr,
               DI_NORMAL);
  }
  EndPaint(Handle(), &paint);
}

LRESULT TFSB_BOX::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_COMMAND:
      if (LOWORD(wParam) == kCloseButtonId || LOWORD(wParam) == IDCANCEL) FModalResult = IDCANCEL;
      if (LOWORD(wParam) == kHelpButtonId) ShowHelp();
      if (LOWORD(wParam) == kYesButtonId) FModalResult = IDYES;
      if (LOWORD(wParam) == kNoButtonId) FModalResult = IDNO;
      return 0;
    case WM_CLOSE:
      FModalResult = IDCANCEL;
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE && !FLinkFollowed && FModalResult == 0) PostMessageA(Handle(), kComeToFront, 0, 0);
      break;
    case kComeToFront:
      if (!FLinkFollowed && FModalResult == 0) BringToForeground(Handle());
      return 0;
  }
  return DefaultHandler(message, wParam, lParam);
}

}  // namespace

void ShowHtmlMessage(const std::string& message, const std::string& help, const std::string& caption) {
  TFSB_BOX box(GetActiveWindow());
  box.SetContent(message, help, caption);
  box.ShowModal();
}

bool ShowHtmlQuestion(const std::string& question) {
  TFSB_BOX box(GetActiveWindow());
  box.SetContent(question, "", "");
  box.AskQuestion();
  return box.ShowModal() == IDYES;
}

}  // namespace vx
