// The program's one message box: a modal window of class "TFSB_BOX" that
// shows a message in the small HTML subset with a "Schließen" button, or
// asks a yes/no question. It stays in front, closes on a key, on a
// button, on its close box or when a link is followed, and is destroyed
// before the call returns.
#pragma once

#include <string>

namespace vx {

// Shows the message (converted with MessageToHtml) and waits until the box
// closes. An empty caption stands for the application title; an empty help
// text hides the help button. How the box was closed is not reported.
// Raises the general error when the box cannot be created; an exception
// while it is shown still destroys it and passes on.
void ShowHtmlMessage(const std::string& message, const std::string& help = "", const std::string& caption = "");

// The same box asking the question with "Ja" and "Nein" in place of
// "Schließen", "Nein" focused. Enter or Space answers with the focused
// button, Tab moves between the two, Escape and the close box answer No;
// other keys do nothing. True only for "Ja".
bool ShowHtmlQuestion(const std::string& question);

}  // namespace vx
