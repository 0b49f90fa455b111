// The message box as the portable code asks it: which kind of box, and which button the user
// chose. Only the Win32 layer (Dialogs_win) knows the system's flags and button ids.
#pragma once

namespace app {

// A notice has an OK button only; a question OK and Cancel.
enum class BoxKind { Notice, Question };
// The button chosen; closing a question's box counts as Cancel.
enum class Answer { Ok, Cancel };

}  // namespace app
