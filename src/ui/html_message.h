// The text rules of the HTML message box: how a message becomes the HTML of
// its label, what a followed link does, and which keys close the box or
// answer its question.
#pragma once

#include <string>

namespace vx {

// How many lines of a message are shown before the dots line.
constexpr int kMaxMessageLines = 21;

// The message as label HTML: "<BR>" in any letter case and every line
// break become one break; leading empty lines disappear; lines are joined
// with "<br>". Of more than maxLines lines the first maxLines, a line of 16
// dots and the last line are kept.
std::string MessageToHtml(const std::string& text, int maxLines = kMaxMessageLines);

// What the box shows of the message, as plain text: the label's text
// without its tags, each line break a CR LF (see PlainText).
std::string MessagePlainText(const std::string& text);

enum class TLinkKind {
  None,          // not a link the box follows
  SelectFile,    // show FilePath selected in its folder window
  ShellOpen,     // hand Target to the shell's "open"
};

struct TLinkAction {
  TLinkKind Kind = TLinkKind::None;
  std::string Target;  // the file path or the shell target
};

// What following a link with this target does. Targets without "://" and
// without "mailto:" are ignored; "SHOpenFolderAndSelectItems://" and
// "fileselect://" (any letter case) name a file to select; for anything
// else a leading "file://" is dropped and the rest goes to the shell.
TLinkAction MessageLinkAction(const std::string& target);

enum class TBoxKeyResult {
  Ignore,        // the key goes on to the box's controls
  Swallow,       // the key does nothing
  CloseOk,       // the box closes with OK
  CloseCancel,   // the box closes with Cancel (a question: with No)
  PressFocused,  // the focused button acts, as a click on it would
};

// Virtual key codes the box reacts to; the values are the Windows ones.
constexpr int kKeyReturn = 0x0D;
constexpr int kKeyShift = 0x10;
constexpr int kKeySpace = 0x20;
constexpr int kKeyControl = 0x11;
constexpr int kKeyMenu = 0x12;
constexpr int kKeyEscape = 0x1B;
constexpr int kKeyF1 = 0x70;

// A key pressed in the box. F1 is swallowed; any other key without a
// modifier closes with Cancel; with Shift, Ctrl or Alt held (a modifier key
// pressed on its own counts as held) Enter closes with OK, Escape with
// Cancel and every other key is left alone.
TBoxKeyResult MessageBoxKey(int key, bool shift, bool control, bool alt);

// A key pressed in the box while it asks a yes/no question. Enter and
// Space press the focused button, Escape answers No, F1 is swallowed;
// every other key is left to the box, so that Tab moves between "Ja" and
// "Nein" and no stray key answers the question.
TBoxKeyResult QuestionBoxKey(int key);

}  // namespace vx
