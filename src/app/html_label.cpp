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

THtmlLabel::THtmlLabel(HWND parent, const RECT& bounds, const THtmlLabelStyle& style) {
  RegisterWindowClass(kClassName, nullptr, nullptr);
  SetStyle(style);
  if (!CreateHandle(0, kClassName, "", WS_CHILD | WS_VISIBLE, bounds, parent, nullptr)) {
    throw Exception(SysErrorMessage(LastOsError()));
  }
}

void THtmlLabel::SetHtmlText(const std::string& html) {
  FHtml = html;
  // Also the window's text, for what reads windows from outside: screen
  // readers, and the driver that works the program on a server.
  SetWindowTextA(Handle(), html.c_str());
  FRuns = ParseHtml(html);
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
  InvalidateRect(Handle(), nullptr, TRUE);
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
  EndPaint(Handle(), &paint);
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
    case WM_SETCURSOR: {
      POINT point{};
      GetCursorPos(&point);
      ScreenToClient(Handle(), &point);
      HCURSOR cursor = ApplicationCursor();
      if (!cursor && !LinkAt(FLayout, point.x, point.y).empty()) cursor = LoadCursor(nullptr, IDC_HAND);
      if (!cursor) break;
      SetCursor(cursor);
      return TRUE;
    }
    case WM_LBUTTONDOWN: {
      const std::string target = LinkAt(FLayout, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      if (!target.empty() && OnAnchorClick) OnAnchorClick(target);
      return 0;
    }
  }
  return DefaultHandler(message, wParam, lParam);
}

}  // namespace vx
