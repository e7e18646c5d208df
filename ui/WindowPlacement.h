#pragma once

#include <string>

#include "platform/WindowServices.h"

namespace vorenta {

// Centred horizontally, a quarter of the free height from the top; on a screen
// smaller than the window the edge goes negative and the window still moves.
inline WindowRect PlaceWindow(const WindowRect& window, const WindowRect& screen) {
    WindowRect placed = window;
    placed.left = (screen.width - window.width) / 2;
    placed.top = (screen.height - window.height) / 4;
    return placed;
}

// The window menu's About item, with the ampersands doubled so each shows once.
std::string AboutMenuItemText();

}  // namespace vorenta
