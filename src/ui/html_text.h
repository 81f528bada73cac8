// The small HTML subset of the program's labels: "<b>"/"</b>", "<br>" and
// links "<A href="target">...</A>", tag names in any letter case. Every
// other character, an unknown or broken tag included, is shown as text, so
// an error text such as "<TFastJSON>..." stays readable. Blanks are kept as
// they are. Layout wraps at blanks with a caller-supplied text measure.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// A stretch of text in one style, or a line break.
struct THtmlRun {
  std::string Text;
  bool Bold = false;
  std::string Link;  // the href of the enclosing link; empty outside links
  bool LineBreak = false;
};

std::vector<THtmlRun> ParseHtml(std::string_view html);

// Text placed on a line; Left and Top in pixels from the label's corner.
struct THtmlPiece {
  std::string Text;
  bool Bold = false;
  std::string Link;
  int Left = 0;
  int Top = 0;
  int Width = 0;
};

struct THtmlLayout {
  std::vector<THtmlPiece> Pieces;
  int LineHeight = 0;
  int Height = 0;  // lines times the line height; 0 for an empty text
};

// Width in pixels of a text drawn plain or bold.
using TTextMeasure = std::function<int(std::string_view text, bool bold)>;

// Lays the runs out in lines no wider than width: words move to the next
// line when they do not fit, blanks at the start of a wrapped line are
// dropped, and a word wider than a whole line is broken between characters.
THtmlLayout LayoutHtml(const std::vector<THtmlRun>& runs, int width, int lineHeight, const TTextMeasure& measure);

// The link under a point of the laid-out label; empty when there is none.
std::string LinkAt(const THtmlLayout& layout, int x, int y);

}  // namespace vx
