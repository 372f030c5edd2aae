#pragma once

namespace orv {

// A rectangle in pixels: left and top edge, width and height.
struct PixelBox {
    int left = 0, top = 0, width = 0, height = 0;
};

}  // namespace orv
