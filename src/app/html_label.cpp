#include "app/html_label.h"

#include <algorithm>

#include "app/busy_cursor.h"
#include "support/errors.h"

namespace vx {

namespace {

HFONT MakeFont(const THtmlLabelStyle& style, bool bold, bool underline) {
  return CreateFontA(style.FontHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE, ANSI_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                     style.FontName.c_str());
}

// A device context compatible with the screen, for measuring text.
class TMeasureDc {
 public:
  TMeasureDc() : FDc(CreateCompatibleDC(nullptr)) {}
  ~TMeasureDc() { DeleteDC(FDc); }
  TMeasureDc(const TMeasureDc&) = delete;
  TMeasureDc& operator=(const TMeasureDc&) = delete;
  HDC Get() const { return FDc; }

 private:
  HDC FDc;
};

int TextHeight(HDC dc, HFONT font) {
  TSelectObject select(dc, font);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  return metrics.tmHeight;
}

}  // namespace

// A link's stand-in for the keyboard and for screen readers: a tab stop
// named with the link's words, lying over the drawn link. It draws nothing
// itself, so the label's drawing shows through; the label draws its focus.
class THtmlLabel::TLinkWindow : public TWindowBase {
 public:
  TLinkWindow(THtmlLabel& label, size_t index) : FLabel(label), FIndex(index) {
    RegisterWindowClass(kLinkClassName, nullptr, nullptr);
    if (!CreateHandle(0, kLinkClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{0, 0, 0, 0}, label.Handle(),
                      nullptr)) {
      throw Exception(SysErrorMessage(LastOsError()));
    }
  }

  // Named with the link's words, over all of its lines.
  void Place(const THtmlLink& link) {
    SetWindowTextA(Handle(), link.Text.c_str());
    int left = link.Lines.front().Left;
    int right = link.Lines.front().Right;
    for (const THtmlBox& line : link.Lines) {
      left = std::min(left, line.Left);
      right = std::max(right, line.Right);
    }
    const int top = link.Lines.front().Top;
    SetWindowPos(Handle(), nullptr, left, top, right - left, link.Lines.back().Bottom - top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_GETDLGCODE: {
        // Enter is the link's, not the dialog navigation's (which would
        // look for a default button).
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        return msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN ? DLGC_WANTMESSAGE : 0;
      }
      case WM_KEYDOWN: {
        const bool repeated = (lParam & (1 << 30)) != 0;
        if ((wParam == VK_RETURN || wParam == VK_SPACE) && !repeated) FLabel.ClickLink(FIndex);
        return 0;
      }
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        InvalidateRect(FLabel.Handle(), nullptr, TRUE);
        return 0;
      case WM_LBUTTONDOWN: {
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        MapWindowPoints(Handle(), FLabel.Handle(), &point, 1);
        FLabel.PressAt(point.x, point.y);
        return 0;
      }
      case WM_SETCURSOR:
        if (FLabel.SetCursorForMouse()) return TRUE;
        break;
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        ValidateRect(Handle(), nullptr);
        return 0;
    }
    return DefaultHandler(message, wParam, lParam);
  }

  THtmlLabel& FLabel;
  const size_t FIndex;
};

THtmlLabel::THtmlLabel(HWND parent, const RECT& bounds, const THtmlLabelStyle& style) {
  RegisterWindowClass(kClassName, nullptr, nullptr);
  SetStyle(style);
  // The links are the label's children; the dialog navigation of the
  // parent reaches them only through a control parent.
  if (!CreateHandle(WS_EX_CONTROLPARENT, kClassName, "", WS_CHILD | WS_VISIBLE, bounds, parent, nullptr)) {
    throw Exception(SysErrorMessage(LastOsError()));
  }
}

// Here, where the link windows' class is complete; they go before the
// label's own window.
THtmlLabel::~THtmlLabel() = default;

void THtmlLabel::SetHtmlText(const std::string& html) {
  FHtml = html;
  FRuns = ParseHtml(html);
  SetWindowTextA(Handle(), PlainText(FRuns).c_str());
  Relayout();
}

void THtmlLabel::SetStyle(const THtmlLabelStyle& style) {
  FStyle = style;
  for (int i = 0; i < 4; ++i) FFonts[i].Reset(MakeFont(FStyle, (i & 1) != 0, (i & 2) != 0));
  Relayout();
}

void THtmlLabel::SetBounds(const RECT& bounds) {
  SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

int THtmlLabel::HeightForWidth(int width) { return Layout(width).Height; }

HFONT THtmlLabel::Font(bool bold, bool link) const { return FFonts[(bold ? 1 : 0) + (link ? 2 : 0)].Get(); }

THtmlLayout THtmlLabel::Layout(int width) {
  TMeasureDc dc;
  const int lineHeight = std::max(TextHeight(dc.Get(), Font(false, false)), TextHeight(dc.Get(), Font(true, false)));
  auto measure = [&](std::string_view text, bool bold) {
    TSelectObject select(dc.Get(), Font(bold, false));
    SIZE size{};
    GetTextExtentPoint32A(dc.Get(), text.data(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  };
  return LayoutHtml(FRuns, width, lineHeight, measure);
}

void THtmlLabel::Relayout() {
  if (!Handle()) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  FLayout = Layout(client.right);
  PlaceLinkWindows();
  InvalidateRect(Handle(), nullptr, TRUE);
}

// Reuses the link windows there are, so that a new layout of the same
// links keeps the focus where it is.
void THtmlLabel::PlaceLinkWindows() {
  FLinks = LayoutLinks(FLayout);
  if (FLinkWindows.size() > FLinks.size()) FLinkWindows.resize(FLinks.size());
  for (size_t i = 0; i < FLinks.size(); ++i) {
    if (i == FLinkWindows.size()) FLinkWindows.push_back(std::make_unique<TLinkWindow>(*this, i));
    FLinkWindows[i]->Place(FLinks[i]);
  }
}

void THtmlLabel::Paint() {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(Handle(), &paint);
  RECT client{};
  GetClientRect(Handle(), &client);
  TGdiObject<HBRUSH> background(CreateSolidBrush(FStyle.Background));
  FillRect(dc, &client, background.Get());
  SetBkMode(dc, TRANSPARENT);
  for (const THtmlPiece& piece : FLayout.Pieces) {
    const bool link = !piece.Link.empty();
    TSelectObject select(dc, Font(piece.Bold, link));
    SetTextColor(dc, link ? FStyle.LinkColor : FStyle.TextColor);
    TextOutA(dc, piece.Left, piece.Top, piece.Text.data(), static_cast<int>(piece.Text.size()));
  }
  DrawLinkFocus(dc);
  EndPaint(Handle(), &paint);
}

// The focus rectangle around each line of the focused link, a pixel clear
// of its first and last letter.
void THtmlLabel::DrawLinkFocus(HDC dc) {
  const HWND focus = GetFocus();
  for (size_t i = 0; i < FLinkWindows.size(); ++i) {
    if (FLinkWindows[i]->Handle() != focus) continue;
    for (const THtmlBox& line : FLinks[i].Lines) {
      const RECT box{line.Left - 1, line.Top, line.Right + 1, line.Bottom};
      DrawFocusRect(dc, &box);
    }
  }
}

bool THtmlLabel::SetCursorForMouse() {
  POINT point{};
  GetCursorPos(&point);
  ScreenToClient(Handle(), &point);
  HCURSOR cursor = ApplicationCursor();
  if (!cursor && !LinkAt(FLayout, point.x, point.y).empty()) cursor = LoadCursor(nullptr, IDC_HAND);
  if (!cursor) return false;
  SetCursor(cursor);
  return true;
}

void THtmlLabel::PressAt(int x, int y) {
  const std::string target = LinkAt(FLayout, x, y);
  if (!target.empty() && OnAnchorClick) OnAnchorClick(target);
}

void THtmlLabel::ClickLink(size_t index) {
  // A copy: the click's action may lay the label out anew.
  const std::string target = FLinks[index].Target;
  if (OnAnchorClick) OnAnchorClick(target);
}

LRESULT THtmlLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
    case WM_SIZE:
      Relayout();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills the whole label
    case WM_PAINT:
      Paint();
      return 0;
    case WM_SETCURSOR:
      if (SetCursorForMouse()) return TRUE;
      break;
    case WM_LBUTTONDOWN:
      PressAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
  }
  return DefaultHandler(message, wParam, lParam);
}

}  // namespace vx
