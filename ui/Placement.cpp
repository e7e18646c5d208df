#include "ui/Placement.h"

namespace vorenta {

WindowPosition PlacementOnScreen(const WindowRect& window, const WindowRect& screen) {
    // Integer division truncates toward zero, also for negative differences.
    return WindowPosition{(screen.width - window.width) / 2, (screen.height - window.height) / 4};
}

void PlaceWindowOnScreen(IWindowServices& window) {
    const WindowPosition p = PlacementOnScreen(window.GetWindowRect(), window.GetScreenRect());
    window.MoveWindow(p.left, p.top);
}

}  // namespace vorenta
