#pragma once

#include "platform/WindowServices.h"

namespace vorenta {

struct WindowPosition {
    int left = 0;
    int top = 0;
};

// Centred across, a quarter of the free height from the top. A window larger
// than the screen gets a negative edge and is still placed there.
WindowPosition PlacementOnScreen(const WindowRect& window, const WindowRect& screen);

// Moves the window to PlacementOnScreen without changing its size.
void PlaceWindowOnScreen(IWindowServices& window);

}  // namespace vorenta
