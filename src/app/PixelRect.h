// A rectangle of pixels by its top left corner and its size: where a control goes.
#pragma once

namespace app {

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

}  // namespace app
