#include "ui/html_text.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

// Every character 6 pixels wide, bold ones 7.
int FixedWidth(std::string_view text, bool bold) { return static_cast<int>(text.size()) * (bold ? 7 : 6); }

std::string Describe(const std::vector<THtmlRun>& runs) {
  std::string out;
  for (const THtmlRun& run : runs) {
    if (run.LineBreak) {
      out += "|";
      continue;
    }
    out += "[" + run.Text + (run.Bold ? ",b" : "") + (run.Link.empty() ? "" : ",->" + run.Link) + "]";
  }
  return out;
}

TEST(ParseHtml, Subset) {
  struct Case {
    const char* html;
    const char* runs;
  } cases[] = {
      {"plain", "[plain]"},
      {"a <b>fett</b> b", "[a ][fett,b][ b]"},
      {"<B>X</B><BR>y<br/>z<br >", "[X,b]|[y]|[z]|"},
      {"  <A href=\"c\">Nur Inhalt Kopieren</A>  <A href=\"x\">Vorlage Dateiname</A>",
       "[  ][Nur Inhalt Kopieren,->c][  ][Vorlage Dateiname,->x]"},
      {"<a HREF='t'>q</a><a href=u v>w</a>", "[q,->t][w,->u]"},
      {"<b><A href=\"SHOpenFolderAndSelectItems://C:\\x.json\">hier</A></b>",
       "[hier,b,->SHOpenFolderAndSelectItems://C:\\x.json]"},
      // Unknown or broken tags stay visible.
      {"<TFastJSON>Fehler", "[<TFastJSON>Fehler]"},
      {"a < b > c", "[a < b > c]"},
      {"<a>x</a> <b", "[<a>x][ <b]"},
      {"1\r\n2\n3", "[1]|[2]|[3]"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Describe(ParseHtml(c.html)), c.runs) << c.html;
}

// What screen readers get instead of the drawing.
TEST(PlainText, AsDrawnWithoutTags) {
  struct Case {
    const char* html;
    const char* text;
  } cases[] = {
      {"  <A href=\"c\">Nur Inhalt Kopieren</A>  <A href=\"x\">Vorlage Dateiname</A>",
       "  Nur Inhalt Kopieren  Vorlage Dateiname"},
      {"<B>Die erzeugten Datei finden Sie hier:</B><BR><A href=\"SHOpenFolderAndSelectItems://C:\\x.json\">"
       "Klicken Sie hier</A>, um den entsprechenden <B>Ordner</B> zu \xf6" "ffnen.",
       "Die erzeugten Datei finden Sie hier:\r\nKlicken Sie hier, um den entsprechenden Ordner zu \xf6" "ffnen."},
      // What the label draws as text stays text.
      {"Auftrag wurde <b>nicht geladen</b>:<br><TFastJSON>Fehler", "Auftrag wurde nicht geladen:\r\n<TFastJSON>Fehler"},
      {"A &amp; B<br><br>C\nD", "A &amp; B\r\n\r\nC\r\nD"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(PlainText(ParseHtml(c.html)), c.text) << c.html;
}

TEST(LayoutHtml, WrapsAtBlanksAndKeepsLeadingBlanks) {
  const THtmlLayout layout = LayoutHtml(ParseHtml("  ab cd <b>ef</b>"), 6 * 8, 10, FixedWidth);
  ASSERT_EQ(layout.Pieces.size(), 4u);
  EXPECT_EQ(layout.Pieces[0].Text, "  ");
  EXPECT_EQ(layout.Pieces[1].Left, 12);
  // "  ab cd " fills 48 pixels; its trailing blank may hang over the edge.
  EXPECT_EQ(layout.Pieces[2].Text, "cd ");
  EXPECT_EQ(layout.Pieces[2].Top, 0);
  EXPECT_EQ(layout.Pieces[3].Text, "ef");
  EXPECT_EQ(layout.Pieces[3].Left, 0);
  EXPECT_EQ(layout.Pieces[3].Top, 10);
  EXPECT_EQ(layout.Pieces[3].Width, 14);
  EXPECT_EQ(layout.Height, 20);
}

TEST(LayoutHtml, BreaksAndHeights) {
  EXPECT_EQ(LayoutHtml(ParseHtml(""), 100, 13, FixedWidth).Height, 0);
  EXPECT_EQ(LayoutHtml(ParseHtml("x"), 100, 13, FixedWidth).Height, 13);
  EXPECT_EQ(LayoutHtml(ParseHtml("x<br><br>y"), 100, 13, FixedWidth).Height, 39);
  // A word wider than the line is cut between characters.
  const THtmlLayout cut = LayoutHtml(ParseHtml("abcdefghij"), 25, 10, FixedWidth);
  ASSERT_EQ(cut.Pieces.size(), 3u);
  EXPECT_EQ(cut.Pieces[0].Text, "abcd");
  EXPECT_EQ(cut.Pieces[2].Text, "ij");
  EXPECT_EQ(cut.Height, 30);
  // Even a one-pixel line terminates.
  EXPECT_EQ(LayoutHtml(ParseHtml("abc"), 1, 10, FixedWidth).Height, 30);
}

TEST(LinkAt, HitsOnlyLinkText) {
  const THtmlLayout layout =
      LayoutHtml(ParseHtml("  <A href=\"c\">Nur</A>  <A href=\"x\">Vorlage</A>"), 400, 17, FixedWidth);
  EXPECT_EQ(LinkAt(layout, 12, 0), "c");
  EXPECT_EQ(LinkAt(layout, 29, 16), "c");
  EXPECT_EQ(LinkAt(layout, 30, 5), "");
  EXPECT_EQ(LinkAt(layout, 42, 5), "x");
  EXPECT_EQ(LinkAt(layout, 5, 5), "");
  EXPECT_EQ(LinkAt(layout, 42, 17), "");
}

std::string Describe(const THtmlLink& link) {
  std::string out = link.Target + ":" + link.Text;
  for (const THtmlBox& box : link.Lines) {
    out += " [" + std::to_string(box.Left) + "," + std::to_string(box.Top) + "," + std::to_string(box.Right) + "," +
           std::to_string(box.Bottom) + "]";
  }
  return out;
}

// The keyboard reaches each link by these boxes, and its focus is drawn
// around them.
TEST(LayoutLinks, OneEntryPerLinkWithABoxPerLine) {
  struct Case {
    const char* html;
    int width;
    std::vector<std::string> links;
  } cases[] = {
      {"  <A href=\"c\">Nur</A>  <A href=\"x\">Vorlage</A>", 400, {"c:Nur [12,0,30,10]", "x:Vorlage [42,0,84,10]"}},
      // "cd ef" wraps after "cd "; bold inside a link is still that link.
      {"ab <a href=t>cd <b>ef</b></a>", 36, {"t:cd ef [18,0,36,10] [0,10,14,20]"}},
      // Two links to one target stay two; a link without text is none.
      {"<a href=t>a</a> <a href=t>b</a><a href=e></a>", 400, {"t:a [0,0,6,10]", "t:b [12,0,18,10]"}},
      {"kein Link", 400, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> links;
    for (const THtmlLink& link : LayoutLinks(LayoutHtml(ParseHtml(c.html), c.width, 10, FixedWidth))) {
      links.push_back(Describe(link));
    }
    EXPECT_EQ(links, c.links) << c.html;
  }
}

}  // namespace
}  // namespace vx
