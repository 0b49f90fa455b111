// The message box as the portable code asks it: which kind of box, and which button the user
// chose. Only the Win32 layer (Dialogs_win) knows the system's flags and button ids.
#pragma once

namespace app {

// A notice has an OK button only; a question OK and Cancel; a cautious question the same with
// Cancel the default button, for a step that loses something; a choice Yes, No and Cancel, with
// No the default button.
enum class BoxKind { Notice, Question, CautiousQuestion, Choice };
// The button chosen; closing a question's or a choice's box counts as Cancel.
enum class Answer { Ok, Cancel, Yes, No };

}  // namespace app
