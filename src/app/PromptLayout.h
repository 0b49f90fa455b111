// The input box's portable pieces: its geometry in dialog units measured from the font, and the
// rule that keeps its text within 255 bytes of GB2312.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/PixelRect.h"

namespace app {

// The font's average character size: X is the width of "A".."Z""a".."z" divided by 52 (the
// remainder dropped), Y the height of that text.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};
DialogBaseUnits BaseUnitsFromText(int widthOf52Letters, int height);

// n dialog units in pixels: n * X / 4 across and n * Y / 8 down, to the nearest pixel, halves
// away from zero.
int HorizontalPixels(int units, DialogBaseUnits base);
int VerticalPixels(int units, DialogBaseUnits base);

// Where everything of the input box goes, in pixels of its client area.
struct PromptGeometry {
    int clientWidth = 0;
    int clientHeight = 0;
    PixelRect prompt;
    PixelRect edit;
    PixelRect ok;
    PixelRect cancel;
};
// promptWidth and lineHeight are the prompt's text extent, editHeight the edit box's
// natural height for the font. The box is 180 units wide, or wider where the prompt needs it;
// the edit box then spans it and the buttons stay in its middle.
PromptGeometry LayOutPrompt(DialogBaseUnits base, int promptWidth, int lineHeight, int editHeight);

// The most bytes of GB2312 the input box takes.
constexpr std::size_t kPromptMaxBytes = 255;

struct LimitedText {
    std::string text;
    std::size_t caret = 0;  // byte position after what was kept of the typed or pasted text
};
// The edit box's text went from before to after (GB2312) by one typing, pasting or deleting
// step. When after is longer than limit and longer than before, the inserted part is cut at the
// end to whole characters (a byte of 0x81 or more starts a two-byte character) so that the text
// fits; otherwise after stands.
LimitedText LimitInsertion(std::string_view before, std::string_view after,
                           std::size_t limit = kPromptMaxBytes);

}  // namespace app
