#include "platform/linux/X11PeerWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <optional>
#include <utility>

namespace vorenta {

namespace {

constexpr long kMaxListLength = 1 << 16;  // windows in a stacking list
constexpr long kMaxTitleLongs = 1024;     // 4 KiB of title is plenty
constexpr long kWmStateNormal = 1;
constexpr long kWmStateIconic = 3;

// Another program's window can vanish at any moment; the errors that follow
// (BadWindow above all) must not end this process, as Xlib's default handler would.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

// Swallows X errors for a scope and collects the ones still in flight before
// the previous handler (the toolkit's) comes back.
class ErrorTrap {
  public:
    explicit ErrorTrap(Display* display)
        : display_(display), previous_(XSetErrorHandler(IgnoreXError)) {}
    ~ErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

  private:
    Display* display_;
    XErrorHandler previous_;
};

struct XFreeDeleter {
    void operator()(void* data) const {
        if (data != nullptr) {
            XFree(data);
        }
    }
};
using XData = std::unique_ptr<unsigned char, XFreeDeleter>;

// A property's items; nothing when it is absent or not of the expected kind.
struct Property {
    XData data;
    unsigned long count = 0;
    Atom type = None;
    int format = 0;
};

std::optional<Property> ReadProperty(Display* display, Window window, Atom name, Atom type,
                                     long maxLongs) {
    Property property;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, name, 0, maxLongs, False, type, &property.type,
                           &property.format, &property.count, &remaining, &data) != Success) {
        return std::nullopt;
    }
    property.data.reset(data);
    if (property.type == None || property.data == nullptr) {
        return std::nullopt;
    }
    return property;
}

}  // namespace

struct X11PeerWindows::Connection {
    struct DisplayCloser {
        void operator()(Display* display) const { XCloseDisplay(display); }
    };
    std::unique_ptr<Display, DisplayCloser> display;
    Atom stackingList = None;
    Atom netWmName = None;
    Atom utf8String = None;
    Atom wmState = None;
    Atom messageType = None;

    std::vector<Window> StackingOrder() const;
    std::string Title(Window window) const;
    bool Visible(Window window) const;
};

std::vector<Window> X11PeerWindows::Connection::StackingOrder() const {
    Display* dpy = display.get();
    const Window root = DefaultRootWindow(dpy);
    std::vector<Window> windows;
    // The window manager's list holds the client windows, bottom first.
    if (const auto list = ReadProperty(dpy, root, stackingList, XA_WINDOW, kMaxListLength);
        list && list->format == 32) {
        const auto* ids = reinterpret_cast<const unsigned long*>(list->data.get());
        windows.assign(ids, ids + list->count);
        std::reverse(windows.begin(), windows.end());
        return windows;
    }
    // Without one, the root's children, also bottom first. A window manager
    // that reparents without keeping the list puts its frames here: the
    // client is then the frame's titled child.
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(dpy, root, &rootReturn, &parent, &children, &count) == 0) {
        return windows;
    }
    const XData childrenData(reinterpret_cast<unsigned char*>(children));
    for (unsigned i = count; i-- > 0;) {
        Window window = children[i];
        if (Title(window).empty()) {
            Window* inner = nullptr;
            unsigned innerCount = 0;
            if (XQueryTree(dpy, window, &rootReturn, &parent, &inner, &innerCount) != 0) {
                const XData innerData(reinterpret_cast<unsigned char*>(inner));
                for (unsigned j = innerCount; j-- > 0;) {
                    if (!Title(inner[j]).empty()) {
                        window = inner[j];
                        break;
                    }
                }
            }
        }
        windows.push_back(window);
    }
    return windows;
}

std::string X11PeerWindows::Connection::Title(Window window) const {
    Display* dpy = display.get();
    if (const auto name = ReadProperty(dpy, window, netWmName, utf8String, kMaxTitleLongs);
        name && name->format == 8) {
        return std::string(reinterpret_cast<const char*>(name->data.get()), name->count);
    }
    if (const auto name = ReadProperty(dpy, window, XA_WM_NAME, AnyPropertyType, kMaxTitleLongs);
        name && name->format == 8) {
        return std::string(reinterpret_cast<const char*>(name->data.get()), name->count);
    }
    return {};
}

// Shown on the screen, or minimised: a window the user still has open.
bool X11PeerWindows::Connection::Visible(Window window) const {
    Display* dpy = display.get();
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(dpy, window, &attributes) == 0) {
        return false;
    }
    if (attributes.map_state == IsViewable) {
        return true;
    }
    const auto state = ReadProperty(dpy, window, wmState, wmState, 2);
    if (!state || state->format != 32 || state->count < 1) {
        return false;
    }
    const long value = reinterpret_cast<const long*>(state->data.get())[0];
    return value == kWmStateIconic ||
           (value == kWmStateNormal && attributes.map_state != IsUnmapped);
}

X11PeerWindows::X11PeerWindows(std::string displayName) : displayName_(std::move(displayName)) {}

X11PeerWindows::~X11PeerWindows() = default;

X11PeerWindows::Connection* X11PeerWindows::Connect() {
    if (connection_) {
        return connection_.get();
    }
    Display* display = XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str());
    if (display == nullptr) {
        return nullptr;
    }
    auto connection = std::make_unique<Connection>();
    connection->display.reset(display);
    connection->stackingList = XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False);
    connection->netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    connection->utf8String = XInternAtom(display, "UTF8_STRING", False);
    connection->wmState = XInternAtom(display, "WM_STATE", False);
    connection->messageType = XInternAtom(display, kMessageTypeAtom, False);
    connection_ = std::move(connection);
    return connection_.get();
}

std::vector<PeerWindow> X11PeerWindows::TopLevelWindows() {
    Connection* connection = Connect();
    if (connection == nullptr) {
        return {};
    }
    const ErrorTrap trap(connection->display.get());
    std::vector<PeerWindow> result;
    for (const Window window : connection->StackingOrder()) {
        result.push_back({window, connection->Visible(window), connection->Title(window)});
    }
    return result;
}

bool X11PeerWindows::PostMessage(std::uint64_t handle, std::uint32_t message, std::uint32_t wParam,
                                 std::int32_t lParam) {
    Connection* connection = Connect();
    if (connection == nullptr || handle == 0) {
        return false;
    }
    Display* display = connection->display.get();
    const ErrorTrap trap(display);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(handle);
    event.xclient.message_type = connection->messageType;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(message);
    event.xclient.data.l[1] = static_cast<long>(wParam);
    event.xclient.data.l[2] = static_cast<long>(lParam);
    const Status sent =
        XSendEvent(display, static_cast<Window>(handle), False, NoEventMask, &event);
    XFlush(display);
    return sent != 0;
}

}  // namespace vorenta
