// Every text the window can show its user, in one place: the messages of
// its message box, its question, its captions, and the texts of the errors
// that reach its error box. The window, vxorder doctor and the test that
// holds LIESMICH.txt to the program all draw on this list. Texts raised by
// the layers below keep their one home there; the list names them.
#pragma once

#include <string>
#include <vector>

namespace vx {

// "Positionen laden oder speichern": the window's first caption and the
// caption of every box it shows.
constexpr char kApplicationTitle[] = "Positionen laden oder speichern";

// The messages of the message box, in its HTML subset.
// Saving: the host gave no order.
constexpr char kOrderNotLoaded[] = "Auftrag wurde <b>nicht geladen</b>.";
// Saving failed; the error's text follows.
constexpr char kOrderNotLoadedBecause[] = "Auftrag wurde <b>nicht geladen</b>:\r\n";
// Sending: the host's order is not in edit mode, or the host does not answer.
constexpr char kNotInEditMode[] = "Auftrag muss auf <b>Bearbeiten stehen</b>.";
// Sending: a file that holds no readable order; its name follows.
constexpr char kDataNotReadable[] = "Daten <b>nicht lesbar</b>.<br>";
// Saved: where the file is, with a link that shows it in its folder.
std::string SavedFileMessage(const std::string& fileName);
// The question before an existing file is replaced (answered "Ja" or
// "Nein"), naming it without its folder: "\x84NAME\x93 ist bereits
// vorhanden.<br>M\xf6" "chten Sie die Datei ersetzen?".
std::string ReplaceFileQuestion(const std::string& fileName);

// The error box's text for an error that is no exception of the program.
constexpr char kUnknownError[] = "Unbekannter Fehler";
// The clipboard's errors; the system's reason takes the place of %s.
constexpr char kClipboardMemoryError[] = "Cannot allocate clipboard memory: %s";
constexpr char kClipboardOpenError[] = "Cannot open clipboard: %s";
constexpr char kClipboardSetError[] = "Cannot set clipboard data: %s";

enum class TShownIn {
  MessageBox,  // the program's message box, "Schließen"
  Question,    // the message box with "Ja" and "Nein"
  Caption,     // the title bar of the window
  ErrorBox,    // the system's plain error box
};

struct TWindowMessage {
  TShownIn ShownIn;
  // As the program builds it (HTML in the message box), with "…" (0x85)
  // for each part that varies: a file name, an error text, a reason.
  std::string Text;
};

// Every text the window can show, in the order of LIESMICH.txt.
std::vector<TWindowMessage> WindowMessages();

// What the user reads of it: the message box's text without its tags and
// with CR LF for each line break, any other text as it is.
std::string ReadableText(const TWindowMessage& message);

}  // namespace vx
