#include "actions/window_messages.h"

#include "documents/data_grid_lines.h"
#include "json/json_error.h"
#include "support/errors.h"
#include "support/folders.h"
#include "ui/html_message.h"
#include "ui/window_caption.h"

namespace vx {

namespace {

// Windows-1252: 0x85 is the ellipsis, 0x84 and 0x93 the German quotes.
constexpr char kVaries[] = "\x85";

}  // namespace

std::string SavedFileMessage(const std::string& fileName) {
  return "<B>Die erzeugten Datei finden Sie hier:</B><BR>"
         "<A href=\"SHOpenFolderAndSelectItems://" +
         fileName + "\">Klicken Sie hier</A>, um den entsprechenden <B>Ordner</B> zu \xf6" "ffnen.";
}

std::string ReplaceFileQuestion(const std::string& fileName) {
  return "\x84" + ExtractFileName(fileName) + "\x93 ist bereits vorhanden.<br>M\xf6" "chten Sie die Datei ersetzen?";
}

std::vector<TWindowMessage> WindowMessages() {
  return {
      {TShownIn::Caption, kApplicationTitle},
      {TShownIn::Caption, DatabaseCaption(kVaries)},
      {TShownIn::Caption, DatabaseCaption("")},
      {TShownIn::MessageBox, SavedFileMessage(kVaries)},
      {TShownIn::Question, ReplaceFileQuestion(kVaries)},
      {TShownIn::MessageBox, kOrderNotLoaded},
      {TShownIn::MessageBox, kOrderNotLoadedBecause + std::string(kVaries)},
      {TShownIn::MessageBox, kNotInEditMode},
      {TShownIn::MessageBox, kDataNotReadable + std::string(kVaries)},
      // Errors that reach the error box, or follow kOrderNotLoadedBecause.
      {TShownIn::ErrorBox, CannotCreateFileText(kVaries)},
      {TShownIn::ErrorBox, kCannotCreateFolderText},
      {TShownIn::ErrorBox, CannotOpenFileText(kVaries, kVaries)},
      {TShownIn::ErrorBox, CannotReadFileText(kVaries, kVaries)},
      {TShownIn::ErrorBox, kOsErrorText},
      {TShownIn::ErrorBox, NotRegularFileError(kVaries).Message()},
      {TShownIn::ErrorBox, JsonErrorText(kVaries, kVaries)},
      {TShownIn::ErrorBox, ListIndexError(0).Message()},
      {TShownIn::ErrorBox, FormatText(kClipboardOpenError, kVaries)},
      {TShownIn::ErrorBox, FormatText(kClipboardMemoryError, kVaries)},
      {TShownIn::ErrorBox, FormatText(kClipboardSetError, kVaries)},
      {TShownIn::ErrorBox, kTooManyPositionsText},
      {TShownIn::ErrorBox, kUnknownError},
      {TShownIn::ErrorBox, kSystemErrorPrefix + std::string(kVaries)},
  };
}

std::string ReadableText(const TWindowMessage& message) {
  const bool html = message.ShownIn == TShownIn::MessageBox || message.ShownIn == TShownIn::Question;
  return html ? MessagePlainText(message.Text) : message.Text;
}

}  // namespace vx
