#include "ui/html_text.h"

#include <algorithm>

#include "support/text_utils.h"

namespace vx {

namespace {

enum class TTag { None, BoldOn, BoldOff, Break, LinkOn, LinkOff };

struct TParsedTag {
  TTag Tag = TTag::None;
  std::string Href;
};

// The href value of an A tag's attribute text: quoted with " or ', or up to
// the next blank.
bool ReadHref(std::string_view attributes, std::string& href) {
  const std::string upper = [&] {
    std::string s(attributes);
    for (char& c : s) c = static_cast<char>(AnsiUpperChar(static_cast<unsigned char>(c)));
    return s;
  }();
  size_t at = upper.find("HREF");
  if (at == std::string::npos) return false;
  at += 4;
  while (at < attributes.size() && attributes[at] == ' ') ++at;
  if (at >= attributes.size() || attributes[at] != '=') return false;
  ++at;
  while (at < attributes.size() && attributes[at] == ' ') ++at;
  if (at < attributes.size() && (attributes[at] == '"' || attributes[at] == '\'')) {
    const size_t close = attributes.find(attributes[at], at + 1);
    if (close == std::string_view::npos) return false;
    href = std::string(attributes.substr(at + 1, close - at - 1));
    return true;
  }
  const size_t end = attributes.find(' ', at);
  href = std::string(attributes.substr(at, end == std::string_view::npos ? end : end - at));
  return true;
}

// The tag inside "<" and ">"; TTag::None when it is not one of ours.
TParsedTag ReadTag(std::string_view inner) {
  // The tag name follows "<" at once; "a < b > c" is text.
  if (inner.empty() || inner[0] == ' ') return {};
  const std::string_view content = TrimView(inner);
  if (TextEquals(content, "b")) return {TTag::BoldOn, {}};
  if (TextEquals(content, "/b")) return {TTag::BoldOff, {}};
  if (TextEquals(content, "/a")) return {TTag::LinkOff, {}};
  if (TextEquals(content, "br") || TextEquals(content, "br/") || TextEquals(content, "br /")) {
    return {TTag::Break, {}};
  }
  if (content.size() > 2 && (content[0] == 'a' || content[0] == 'A') && content[1] == ' ') {
    TParsedTag tag{TTag::LinkOn, {}};
    if (ReadHref(content.substr(2), tag.Href)) return tag;
  }
  return {};
}

}  // namespace

std::vector<THtmlRun> ParseHtml(std::string_view html) {
  std::vector<THtmlRun> runs;
  bool bold = false;
  std::string link;
  int links = 0;
  int linkIndex = -1;
  std::string text;
  auto flush = [&] {
    if (!text.empty()) runs.push_back({text, bold, link, false, linkIndex});
    text.clear();
  };
  size_t at = 0;
  while (at < html.size()) {
    const char c = html[at];
    if (c == '\r' || c == '\n') {
      // A line break in the source is a break in the display too; CR LF is one.
      flush();
      runs.push_back({"", bold, link, true, linkIndex});
      at += (c == '\r' && at + 1 < html.size() && html[at + 1] == '\n') ? 2 : 1;
      continue;
    }
    const size_t close = c == '<' ? html.find('>', at) : std::string_view::npos;
    const TParsedTag tag = close == std::string_view::npos ? TParsedTag{} : ReadTag(html.substr(at + 1, close - at - 1));
    if (tag.Tag == TTag::None) {
      text += c;
      ++at;
      continue;
    }
    flush();
    switch (tag.Tag) {
      case TTag::BoldOn: bold = true; break;
      case TTag::BoldOff: bold = false; break;
      case TTag::Break: runs.push_back({"", bold, link, true, linkIndex}); break;
      case TTag::LinkOn:
        link = tag.Href;
        linkIndex = links++;
        break;
      case TTag::LinkOff:
        link.clear();
        linkIndex = -1;
        break;
      case TTag::None: break;
    }
    at = close + 1;
  }
  flush();
  return runs;
}

std::string PlainText(const std::vector<THtmlRun>& runs) {
  std::string text;
  for (const THtmlRun& run : runs) text += run.LineBreak ? "\r\n" : run.Text;
  return text;
}

namespace {

// Splits a run's text into words, each with the blanks that follow it.
std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != ' ') ++end;
    while (end < text.size() && text[end] == ' ') ++end;
    words.push_back(text.substr(start, end - start));
    start = end;
  }
  return words;
}

class TLineBuilder {
 public:
  TLineBuilder(int width, int lineHeight, const TTextMeasure& measure, THtmlLayout& layout)
      : FWidth(width), FMeasure(measure), FLayout(layout) {
    FLayout.LineHeight = lineHeight;
  }

  void AddWord(std::string_view word, const THtmlRun& run) {
    // Trailing blanks may hang over the edge; only the letters must fit.
    const std::string_view letters = word.substr(0, word.find_last_not_of(' ') + 1);
    if (FX > 0 && FX + FMeasure(letters, run.Bold) > FWidth) {
      NewLine();
      const size_t firstLetter = word.find_first_not_of(' ');
      if (firstLetter == std::string_view::npos) return;
      word = word.substr(firstLetter);
    }
    int wordWidth = FMeasure(word, run.Bold);
    while (FX == 0 && wordWidth > FWidth && word.size() > 1) {
      size_t fit = 1;
      while (fit < word.size() && FMeasure(word.substr(0, fit + 1), run.Bold) <= FWidth) ++fit;
      Place(word.substr(0, fit), run, FMeasure(word.substr(0, fit), run.Bold));
      NewLine();
      word = word.substr(fit);
      wordWidth = FMeasure(word, run.Bold);
    }
    Place(word, run, wordWidth);
  }

  void NewLine() {
    ++FLines;
    FX = 0;
  }

  void Finish() {
    const bool empty = FLayout.Pieces.empty() && FLines == 0;
    FLayout.Height = empty ? 0 : (FLines + 1) * FLayout.LineHeight;
  }

 private:
  void Place(std::string_view word, const THtmlRun& run, int wordWidth) {
    THtmlPiece piece{std::string(word), run.Bold, run.Link, FX, FLines * FLayout.LineHeight, wordWidth,
                     run.LinkIndex};
    FLayout.Pieces.push_back(std::move(piece));
    FX += wordWidth;
  }

  const int FWidth;
  const TTextMeasure& FMeasure;
  THtmlLayout& FLayout;
  int FX = 0;
  int FLines = 0;
};

}  // namespace

THtmlLayout LayoutHtml(const std::vector<THtmlRun>& runs, int width, int lineHeight, const TTextMeasure& measure) {
  THtmlLayout layout;
  TLineBuilder builder(width, lineHeight, measure, layout);
  for (const THtmlRun& run : runs) {
    if (run.LineBreak) {
      builder.NewLine();
      continue;
    }
    for (std::string_view word : Words(run.Text)) builder.AddWord(word, run);
  }
  builder.Finish();
  return layout;
}

std::string LinkAt(const THtmlLayout& layout, int x, int y) {
  for (const THtmlPiece& piece : layout.Pieces) {
    if (!piece.Link.empty() && x >= piece.Left && x < piece.Left + piece.Width && y >= piece.Top &&
        y < piece.Top + layout.LineHeight) {
      return piece.Link;
    }
  }
  return "";
}

std::vector<THtmlLink> LayoutLinks(const THtmlLayout& layout) {
  std::vector<THtmlLink> links;
  for (const THtmlPiece& piece : layout.Pieces) {
    if (piece.LinkIndex < 0) continue;
    if (static_cast<size_t>(piece.LinkIndex) >= links.size()) links.resize(piece.LinkIndex + 1);
    THtmlLink& link = links[piece.LinkIndex];
    link.Target = piece.Link;
    link.Text += piece.Text;
    const int right = piece.Left + piece.Width;
    if (!link.Lines.empty() && link.Lines.back().Top == piece.Top) {
      link.Lines.back().Right = right;
    } else {
      link.Lines.push_back({piece.Left, piece.Top, right, piece.Top + layout.LineHeight});
    }
  }
  // A link without text is drawn nowhere and cannot be reached.
  links.erase(std::remove_if(links.begin(), links.end(), [](const THtmlLink& link) { return link.Lines.empty(); }),
              links.end());
  for (THtmlLink& link : links) link.Text = link.Text.substr(0, link.Text.find_last_not_of(' ') + 1);
  return links;
}

}  // namespace vx
