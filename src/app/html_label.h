// A label that draws the small HTML subset of the program's messages (bold,
// line breaks, links in the link colour), wraps it to its width, and calls
// back with the link target when a link is clicked. The main window's link
// line and both labels of the message box are such labels.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/win_handles.h"
#include "app/window_base.h"
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

  // A visible child of parent; raises the general error when the window
  // cannot be created.
  THtmlLabel(HWND parent, const RECT& bounds, const THtmlLabelStyle& style);

  void SetHtmlText(const std::string& html);
  const std::string& HtmlText() const { return FHtml; }
  void SetStyle(const THtmlLabelStyle& style);
  void SetBounds(const RECT& bounds);
  // The height the text needs at the given width; 0 for no text.
  int HeightForWidth(int width);

  // Called on a mouse press on a link, with its target.
  TAnchorClick OnAnchorClick;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  HFONT Font(bool bold, bool link) const;
  THtmlLayout Layout(int width);
  void Relayout();
  void Paint();

  THtmlLabelStyle FStyle;
  std::string FHtml;
  std::vector<THtmlRun> FRuns;
  THtmlLayout FLayout;
  TGdiObject<HFONT> FFonts[4];  // plain, bold, link, bold link
};

}  // namespace vx
