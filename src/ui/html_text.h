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
  int LinkIndex = -1;  // which link of the text, counted from 0; -1 outside links
};

std::vector<THtmlRun> ParseHtml(std::string_view html);

// The text as the label shows it, for programs that read the window
// instead of seeing it (screen readers): the tags gone and each break a
// CR LF. The subset has no entities, so "&amp;" is shown, and given, as
// typed.
std::string PlainText(const std::vector<THtmlRun>& runs);

// Text placed on a line; Left and Top in pixels from the label's corner.
struct THtmlPiece {
  std::string Text;
  bool Bold = false;
  std::string Link;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int LinkIndex = -1;
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

// Where one line of a link is drawn, in pixels from the label's corner.
struct THtmlBox {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

// A link as laid out: what it leads to, its words, and a box around its
// pieces on each line it covers.
struct THtmlLink {
  std::string Target;
  std::string Text;  // trailing blanks dropped
  std::vector<THtmlBox> Lines;
};

// The links of the laid-out label, in the order of the text.
std::vector<THtmlLink> LayoutLinks(const THtmlLayout& layout);

}  // namespace vx
