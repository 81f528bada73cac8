// Drives the message box on the test's own thread: a thread timer fires
// inside the box's modal loop and runs one step per tick. Timer messages
// come only when no other message is queued, so every key a step posts
// has been handled when the next step runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/html_label.h"
#include "app/message_box.h"

namespace vx {
namespace {

using TStep = std::function<void(HWND box)>;

struct TScript {
  std::vector<TStep> Steps;
  size_t Next = 0;
  int Ticks = 0;
};

TScript* gScript = nullptr;

// The box of this thread; another program's box must not count.
HWND OwnBox() {
  HWND box = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        char name[32] = "";
        GetClassNameA(window, name, sizeof(name));
        if (std::string(name) != "TFSB_BOX") return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&box));
  return box;
}

void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = OwnBox();
  if (!box) return;
  // A box that outlives its script is closed so that a failing test ends.
  if (gScript->Next >= gScript->Steps.size() || ++gScript->Ticks > 100) {
    PostMessageA(box, WM_CLOSE, 0, 0);
    return;
  }
  gScript->Steps[gScript->Next++](box);
}

// Runs show, which shows a box, and the steps in it; returns how many
// steps ran.
size_t RunScripted(const std::function<void()>& show, std::vector<TStep> steps) {
  TScript script{std::move(steps)};
  gScript = &script;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, RunStep);
  show();
  KillTimer(nullptr, timer);
  gScript = nullptr;
  return script.Next;
}

size_t ShowScripted(const std::string& message, std::vector<TStep> steps) {
  return RunScripted([&message] { ShowHtmlMessage(message); }, std::move(steps));
}

void PostKey(HWND box, int key) { PostMessageA(box, WM_KEYDOWN, key, 1); }

RECT ChildRect(HWND box, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

HWND Label(HWND box) { return FindWindowExA(box, nullptr, THtmlLabel::kClassName, nullptr); }

int LabelHeight(HWND box) {
  const RECT r = ChildRect(box, Label(box));
  return r.bottom - r.top;
}

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { SetApplicationTitle("Positionen laden oder speichern"); }
};

TEST_F(MessageBoxTest, LayoutCaptionAndSpaceCloses) {
  std::string caption;
  RECT client{};
  int labelHeight = 0;
  std::string buttonText;
  RECT button{};
  LONG exStyle = 0;
  const size_t steps = ShowScripted("Auftrag wurde <b>nicht geladen</b>.",
                                    {[&](HWND box) {
                                       char text[256] = "";
                                       GetWindowTextA(box, text, sizeof(text));
                                       caption = text;
                                       GetClientRect(box, &client);
                                       labelHeight = LabelHeight(box);
                                       HWND close = FindWindowExA(box, nullptr, "BUTTON", "Schlie\xdf" "en");
                                       if (close) {
                                         buttonText = "Schlie\xdf" "en";
                                         button = ChildRect(box, close);
                                       }
                                       exStyle = GetWindowLongA(box, GWL_EXSTYLE);
                                       PostKey(box, VK_SPACE);
                                     },
                                     [](HWND) {}});
  EXPECT_EQ(steps, 1u);  // Space closed the box before a second step
  EXPECT_EQ(caption, "Positionen laden oder speichern");
  EXPECT_EQ(client.right, 406);
  EXPECT_GT(labelHeight, 10);
  EXPECT_EQ(client.bottom, labelHeight + 37);
  EXPECT_EQ(buttonText, "Schlie\xdf" "en");
  EXPECT_EQ(button.bottom - button.top, 25);
  EXPECT_EQ(button.top, labelHeight + 2 + 4);
  EXPECT_LE(button.right, 404);
  EXPECT_NE(exStyle & WS_EX_TOPMOST, 0);
  EXPECT_EQ(OwnBox(), nullptr);
}

TEST_F(MessageBoxTest, ShiftAndF1KeepItOpenEscapeCloses) {
  bool openAfterShiftAndF1 = false;
  const size_t steps = ShowScripted("Text", {[](HWND box) {
                                               PostKey(box, VK_SHIFT);
                                               PostKey(box, VK_CONTROL);
                                               PostKey(box, VK_F1);
                                             },
                                             [&](HWND box) {
                                               openAfterShiftAndF1 = IsWindowVisible(box) != 0;
                                               PostKey(box, VK_ESCAPE);
                                             }});
  EXPECT_TRUE(openAfterShiftAndF1);
  EXPECT_EQ(steps, 2u);
}

TEST_F(MessageBoxTest, ButtonAndCloseBoxClose) {
  EXPECT_EQ(ShowScripted("Text", {[](HWND box) {
                           PostMessageA(FindWindowExA(box, nullptr, "BUTTON", "Schlie\xdf" "en"), BM_CLICK, 0, 0);
                         }}),
            1u);
  EXPECT_EQ(ShowScripted("Text", {[](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); }}), 1u);
}

HWND Button(HWND box, const char* caption) { return FindWindowExA(box, nullptr, "BUTTON", caption); }

// The question is answered by its buttons, by Enter or Space on the
// focused one, or No by Escape and the close box; no other key answers.
TEST_F(MessageBoxTest, QuestionAnswersOnlyByItsButtonsEscapeOrCloseBox) {
  const std::string question = "\x84x.json\x93 ist bereits vorhanden.<br>M\xf6" "chten Sie die Datei ersetzen?";
  // "Nein" in the place of "Schließen" and focused, "Ja" to its left.
  bool noFocused = false;
  bool closeHidden = false;
  RECT yesButton{};
  RECT noButton{};
  const struct {
    const char* What;
    std::vector<TStep> Steps;
    bool Yes;
  } cases[] = {
      {"Enter on the first focus",
       {[&](HWND box) {
          noFocused = GetFocus() == Button(box, "Nein");
          closeHidden = !IsWindowVisible(Button(box, "Schlie\xdf" "en"));
          yesButton = ChildRect(box, Button(box, "Ja"));
          noButton = ChildRect(box, Button(box, "Nein"));
          PostKey(box, VK_RETURN);
        }},
       false},
      {"Tab to Ja, Space",
       {[](HWND box) { PostKey(box, VK_TAB); },
        [](HWND box) {
          if (GetFocus() == Button(box, "Ja")) PostKey(box, VK_SPACE);
        }},
       true},
      {"click on Ja", {[](HWND box) { PostMessageA(Button(box, "Ja"), BM_CLICK, 0, 0); }}, true},
      {"Escape", {[](HWND box) { PostKey(box, VK_ESCAPE); }}, false},
      {"close box", {[](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); }}, false},
      {"stray keys, then Enter on Ja",
       {[](HWND box) {
          PostKey(box, 'A');
          PostKey(box, VK_F1);
          PostKey(box, VK_SHIFT);
        },
        [](HWND box) {
          if (!IsWindowVisible(box)) return;
          SetFocus(Button(box, "Ja"));
          PostKey(box, VK_RETURN);
        }},
       true},
  };
  for (const auto& c : cases) {
    bool yes = !c.Yes;
    const size_t steps = RunScripted([&] { yes = ShowHtmlQuestion(question); }, c.Steps);
    EXPECT_EQ(yes, c.Yes) << c.What;
    EXPECT_EQ(steps, c.Steps.size()) << c.What;
  }
  EXPECT_TRUE(noFocused);
  EXPECT_TRUE(closeHidden);
  EXPECT_EQ(noButton.top, yesButton.top);
  EXPECT_LT(yesButton.right, noButton.left);
  EXPECT_LE(noButton.right, 404);
  EXPECT_EQ(noButton.bottom - noButton.top, 25);
}

TEST_F(MessageBoxTest, LongMessagesShowTwentyThreeLines) {
  int oneLine = 0;
  ShowScripted("Zeile", {[&](HWND box) {
                 oneLine = LabelHeight(box);
                 PostKey(box, VK_SPACE);
               }});
  std::string forty;
  for (int i = 1; i <= 40; ++i) forty += "Zeile " + std::to_string(i) + "\r\n";
  int fortyLines = 0;
  ShowScripted(forty, {[&](HWND box) {
                 fortyLines = LabelHeight(box);
                 PostKey(box, VK_SPACE);
               }});
  EXPECT_EQ(fortyLines, 23 * oneLine);
}

TEST_F(MessageBoxTest, MessageTallerThanTheBoxKeepsTheButtonInView) {
  // 21 lines that wrap several times each, far taller than 70 % of the screen.
  std::string message;
  for (int i = 1; i <= 21; ++i) message += "Zeile " + std::to_string(i) + std::string(300, 'x') + " Ende\r\n";
  RECT client{};
  RECT label{};
  RECT button{};
  ShowScripted(message, {[&](HWND box) {
                 GetClientRect(box, &client);
                 label = ChildRect(box, Label(box));
                 button = ChildRect(box, FindWindowExA(box, nullptr, "BUTTON", "Schlie\xdf" "en"));
                 PostKey(box, VK_SPACE);
               }});
  EXPECT_LE(client.bottom, GetSystemMetrics(SM_CYSCREEN) * 7 / 10);
  EXPECT_GT(button.top, label.top);
  EXPECT_LE(button.bottom, client.bottom);
  EXPECT_LE(label.bottom, button.top);
  EXPECT_GT(label.bottom - label.top, 100);
}

TEST_F(MessageBoxTest, RefusedLinkBeepsAndStaysOpen) {
  bool openAfterClick = false;
  const size_t steps =
      ShowScripted("<A href=\"nosuchscheme://x\">Klick</A> und Text",
                   {[](HWND box) { PostMessageA(Label(box), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); },
                    [&](HWND box) {
                      openAfterClick = IsWindowVisible(box) != 0;
                      PostKey(box, VK_SPACE);
                    }});
  EXPECT_TRUE(openAfterClick);
  EXPECT_EQ(steps, 2u);
}

TEST_F(MessageBoxTest, FolderLinkClosesEvenForAPathTheShellCannotParse) {
  std::string text;
  std::string link;
  const size_t steps = ShowScripted(
      "<B>Die erzeugten Datei finden Sie hier:</B><BR><A href=\"shopenfolderandselectitems://C:\\no\\such\\x.json\">"
      "Klicken Sie hier</A>, um den entsprechenden <B>Ordner</B> zu \xf6" "ffnen.",
      {[&](HWND box) {
         // What a screen reader reads: the message as it is drawn, and its link.
         char buffer[512] = "";
         GetWindowTextA(Label(box), buffer, sizeof(buffer));
         text = buffer;
         GetWindowTextA(FindWindowExA(Label(box), nullptr, THtmlLabel::kLinkClassName, nullptr), buffer,
                        sizeof(buffer));
         link = buffer;
         // The link starts the second line.
         PostMessageA(Label(box), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, LabelHeight(box) / 2 + 2));
       },
       [](HWND box) { PostKey(box, VK_SPACE); }});
  EXPECT_EQ(steps, 1u);
  EXPECT_EQ(text, "Die erzeugten Datei finden Sie hier:\r\nKlicken Sie hier, um den entsprechenden Ordner zu \xf6" "ffnen.");
  EXPECT_EQ(link, "Klicken Sie hier");
}

}  // namespace
}  // namespace vx
