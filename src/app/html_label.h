// A label that draws the small HTML subset of the program's messages (bold,
// line breaks, links in the link colour), wraps it to its width, and calls
// back with the link target when a link is clicked. The main window's link
// line and both labels of the message box are such labels.
//
// For programs that read windows instead of seeing them (screen readers,
// the driver that works the program on a server), the label's window text
// is the plain text it shows, and each link is a child window of class
// kLinkClassName over the place where the link is drawn, named with the
// link's words. The links are tab stops in the order of the text; Enter or
// Space on one works as a click, and the label draws the system's focus
// rectangle around the focused one.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/window_base.h"
#include "support/handles_win.h"
#include "ui/html_text.h"

namespace vx {

struct THtmlLabelStyle {
  std::string FontName = "Tahoma";
  int FontHeight = -12;  // as in LOGFONT: negative for the character height
  COLORREF TextColor = RGB(0, 0, 0);
  COLORREF LinkColor = RGB(0, 0, 255);
  COLORREF Background = RGB(255, 255, 255);
};

class THtmlLabel : public TWindowBase {
 public:
  using TAnchorClick = std::function<void(const std::string& target)>;

  static constexpr const char* kClassName = "VXHtmlLabel";
  static constexpr const char* kLinkClassName = "VXHtmlLink";

  // A visible child of parent; raises the general error when the window
  // cannot be created.
  THtmlLabel(HWND parent, const RECT& bounds, const THtmlLabelStyle& style);
  ~THtmlLabel() override;

  void SetHtmlText(const std::string& html);
  const std::string& HtmlText() const { return FHtml; }
  void SetStyle(const THtmlLabelStyle& style);
  void SetBounds(const RECT& bounds);
  // The height the text needs at the given width; 0 for no text.
  int HeightForWidth(int width);

  // Called on a mouse press on a link, or Enter or Space on a focused
  // link, with its target.
  TAnchorClick OnAnchorClick;

 private:
  class TLinkWindow;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  HFONT Font(bool bold, bool link) const;
  THtmlLayout Layout(int width);
  void Relayout();
  void PlaceLinkWindows();
  void Paint();
  void DrawLinkFocus(HDC dc);
  // Over a link (also when the mouse is over its link window).
  bool SetCursorForMouse();
  void PressAt(int x, int y);
  void ClickLink(size_t index);

  THtmlLabelStyle FStyle;
  std::string FHtml;
  std::vector<THtmlRun> FRuns;
  THtmlLayout FLayout;
  std::vector<THtmlLink> FLinks;
  std::vector<std::unique_ptr<TLinkWindow>> FLinkWindows;  // one per entry of FLinks
  TGdiObject<HFONT> FFonts[4];  // plain, bold, link, bold link
};

}  // namespace vx
