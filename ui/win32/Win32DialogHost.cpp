#include "ui/win32/Win32DialogHost.h"

#include <dbt.h>

#include <cstdio>
#include <string>
#include <utility>

#include "ui/Logo.h"
#include "ui/PictureGap.h"
#include "ui/UpdateDlgIds.h"
#include "ui/win32/DlgTemplateBytes.h"
#include "ui/win32/ResourceIds.h"

namespace vorenta::win32ui {

namespace {

constexpr int kEmphasisTenthsOfPoint = 90;
constexpr LONG kEmphasisWeight = FW_BOLD;
constexpr const char* kEmphasisFace = "Microsoft Sans Serif";
// The resource script numbers the icon and the logo with these macros.
static_assert(VORENTA_IDI_APP == kAppIconResource);
static_assert(VORENTA_IDB_LOGO == kLogoBitmapResource);
// The rich-edit 2.0 extended character format the links are drawn with.
static_assert(sizeof(CHARFORMAT2A) == 84);

COLORREF ToColorRef(std::uint32_t rgb) {
    return static_cast<COLORREF>(rgb & 0x00FFFFFFU);
}

bool IsStaticText(ControlKind kind) {
    return kind == ControlKind::StaticLeft || kind == ControlKind::StaticCentred ||
           kind == ControlKind::StaticCentredVertically;
}

}  // namespace

Win32DialogHost::Win32DialogHost(HINSTANCE instance, const DialogTemplate& dialogTemplate,
                                 HWND owner, bool windowIcon)
    : instance_(instance),
      template_(dialogTemplate),
      owner_(owner),
      windowIcon_(windowIcon),
      templateWords_(BuildDlgTemplate(dialogTemplate)) {}

Win32DialogHost::~Win32DialogHost() {
    // Not a virtual call: this object is no longer whole here.
    while (busyDepth_ > 0) {
        Win32DialogHost::EndWaitCursor();
    }
}

void Win32DialogHost::Attach(IWindowHandler& handler, DialogCallbacks callbacks) {
    handler_ = &handler;
    callbacks_ = std::move(callbacks);
}

int Win32DialogHost::RunModal() {
    const INT_PTR result = ::DialogBoxIndirectParamA(
        instance_, reinterpret_cast<LPCDLGTEMPLATEA>(templateWords_.data()), owner_,
        &Win32DialogHost::DialogProc, reinterpret_cast<LPARAM>(this));
    hwnd_ = nullptr;
    if (result == -1) {
        Log("cannot create the dialog: system error " + std::to_string(::GetLastError()));
    }
    return static_cast<int>(result);
}

INT_PTR CALLBACK Win32DialogHost::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* host =
            reinterpret_cast<Win32DialogHost*>(lParam);  // NOLINT(performance-no-int-to-ptr)
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        host->hwnd_ = hwnd;
        return host->OnInitDialog();
    }
    auto* host = reinterpret_cast<Win32DialogHost*>(  // NOLINT(performance-no-int-to-ptr)
        ::GetWindowLongPtrA(hwnd, DWLP_USER));
    if (host == nullptr) {
        return FALSE;
    }
    return host->HandleMessage(message, wParam, lParam);
}

namespace {

// The COM port device interface class: USB serial adapters plugged in and
// pulled out are announced under it.
constexpr GUID kComPortInterface = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

// Whether a WM_DEVICECHANGE tells of a serial port that came or went.
bool IsPortArrivalOrRemoval(WPARAM event, LPARAM data) {
    if ((event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) || data == 0) {
        return false;
    }
    const auto* header =
        reinterpret_cast<const DEV_BROADCAST_HDR*>(data);  // NOLINT(performance-no-int-to-ptr)
    if (header->dbch_devicetype == DBT_DEVTYP_PORT) {
        return true;
    }
    if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) {
        return false;
    }
    const auto* device = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(header);
    return ::IsEqualGUID(device->dbcc_classguid, kComPortInterface) != 0;
}

}  // namespace

void Win32DialogHost::WatchPorts() {
    DEV_BROADCAST_DEVICEINTERFACE_A filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kComPortInterface;
    // Without it the window still hears of ports the system broadcasts.
    portNotification_ = ::RegisterDeviceNotificationA(hwnd_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

INT_PTR Win32DialogHost::Result(LRESULT result) {
    ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR Win32DialogHost::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            return OnCommandMessage(wParam);
        case WM_NOTIFY:
            return OnNotify(
                *reinterpret_cast<const NMHDR*>(lParam));  // NOLINT(performance-no-int-to-ptr)
        case WM_SYSCOMMAND:
            // The appended About item; every other command (Close, Move,
            // Minimise) is the dialog manager's.
            if ((wParam & 0xFFF0U) == ids::kSysCommandAbout && handler_ != nullptr) {
                handler_->OnSysCommand(static_cast<unsigned>(wParam));
                return TRUE;
            }
            return FALSE;
        case WM_TIMER:
            if (handler_ != nullptr) {
                handler_->OnTimer(static_cast<unsigned>(wParam));
            }
            return TRUE;
        case WM_CTLCOLORSTATIC:
            // The message's parameters are the control's device context and window.
            return OnControlColour(
                reinterpret_cast<HDC>(wParam),   // NOLINT(performance-no-int-to-ptr)
                reinterpret_cast<HWND>(lParam),  // NOLINT(performance-no-int-to-ptr)
                wParam, lParam);
        case WM_SETCURSOR:
            if (busyDepth_ > 0) {
                ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
                return Result(TRUE);
            }
            return FALSE;
        case WM_PAINT:
            return ::IsIconic(hwnd_) ? OnPaintMinimised() : FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(appIcon_);
        case WM_DEVICECHANGE:
            if (handler_ != nullptr && IsPortArrivalOrRemoval(wParam, lParam)) {
                handler_->OnPortsChanged();
            }
            return Result(TRUE);
        case WM_DESTROY:
            if (portNotification_ != nullptr) {
                ::UnregisterDeviceNotification(portNotification_);
                portNotification_ = nullptr;
            }
            if (callbacks_.destroy) {
                callbacks_.destroy();
            }
            return FALSE;
        default:
            break;
    }
    const auto posted = posted_.find(message);
    if (posted != posted_.end()) {
        posted_.erase(posted);
        if (handler_ != nullptr) {
            handler_->OnPostedMessage(message);
        }
        return Result(1);
    }
    return FALSE;
}

INT_PTR Win32DialogHost::OnInitDialog() {
    dialogFont_ = reinterpret_cast<HFONT>(  // NOLINT(performance-no-int-to-ptr)
        ::SendMessageA(hwnd_, WM_GETFONT, 0, 0));
    {
        // Tenths of a point to pixels with the screen's vertical resolution.
        HDC screen = ::GetDC(hwnd_);
        LOGFONTA font{};
        font.lfHeight = -::MulDiv(::GetDeviceCaps(screen, LOGPIXELSY), kEmphasisTenthsOfPoint, 720);
        font.lfWeight = kEmphasisWeight;
        ::lstrcpynA(font.lfFaceName, kEmphasisFace, LF_FACESIZE);
        ::ReleaseDC(hwnd_, screen);
        emphasisFont_.reset(::CreateFontIndirectA(&font));
    }
    appIcon_ = static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(kAppIconResource),
                                               IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                               ::GetSystemMetrics(SM_CYICON), LR_SHARED));
    if (windowIcon_ && appIcon_ != nullptr) {
        ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon_));
    }
    for (const ControlTemplate& c : template_.controls) {
        HWND item = Item(c.id);
        if (item == nullptr) {
            continue;
        }
        if (c.kind == ControlKind::Picture) {
            ShowLogo(item);
            KeepTextsClearOf(item);
        } else if (c.kind == ControlKind::LinkText) {
            MakeLink(item);
        }
    }
    bool focusDefault = true;
    WatchPorts();
    if (callbacks_.initDialog) {
        focusDefault = callbacks_.initDialog();
    }
    RefreshColours();
    // TRUE: the dialog manager focuses the first tab stop ("Done", or "OK").
    return focusDefault ? TRUE : FALSE;
}

void Win32DialogHost::ShowLogo(HWND picture) {
    logo_.reset(static_cast<HBITMAP>(::LoadImageA(instance_, MAKEINTRESOURCEA(kLogoBitmapResource),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!logo_) {
        return;
    }
    // Round the corners in the button-face colour through a memory context.
    HDC screen = ::GetDC(hwnd_);
    HDC memory = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(memory, logo_.get());
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    for (const PixelPoint& p : kLogoCornerPixels) {
        ::SetPixel(memory, p.x, p.y, face);
    }
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::ReleaseDC(hwnd_, screen);
    ::SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_.get()));
}

void Win32DialogHost::KeepTextsClearOf(HWND picture) {
    // The picture now has its bitmap's size, which does not shrink with the font.
    const auto rectOf = [this](HWND control) {
        RECT r{};
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        return PixelRect{r.left, r.top, r.right - r.left, r.bottom - r.top};
    };
    const PixelRect pictureRect = rectOf(picture);
    for (const ControlTemplate& c : template_.controls) {
        HWND text = c.id == kNoControlId ? nullptr : Item(c.id);
        const bool isText = c.kind == ControlKind::StaticLeft ||
                            c.kind == ControlKind::StaticCentred ||
                            c.kind == ControlKind::StaticCentredVertically;
        if (text == nullptr || !isText) {
            continue;
        }
        const PixelRect was = rectOf(text);
        const PixelRect clear = KeepClearOfPicture(pictureRect, was);
        if (!(clear == was)) {
            ::MoveWindow(text, clear.left, clear.top, clear.width, clear.height, FALSE);
        }
    }
}

void Win32DialogHost::MakeLink(HWND link) {
    // The link sits on the dialog's own background, like the labels beside it.
    ::SendMessageA(link, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(::GetSysColor(COLOR_BTNFACE)));
}

void Win32DialogHost::ApplyLinkFormat(HWND link) {
    // The whole text is one link that reports mouse actions (EN_LINK).
    ::SendMessageA(link, EM_SETSEL, 0, -1);
    const LRESULT mask = ::SendMessageA(link, EM_GETEVENTMASK, 0, 0);
    ::SendMessageA(link, EM_SETEVENTMASK, 0, mask | ENM_LINK);
    CHARFORMAT2A format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_LINK | CFM_COLOR;
    format.dwEffects = CFE_LINK;
    format.crTextColor = ::GetSysColor(COLOR_HOTLIGHT);
    ::SendMessageA(link, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

INT_PTR Win32DialogHost::OnCommandMessage(WPARAM wParam) {
    const int id = LOWORD(wParam);
    const unsigned code = HIWORD(wParam);
    if (KindOf(id) == ControlKind::LinkText) {
        if (code == EN_SETFOCUS && callbacks_.linkFocus) {
            // A link never keeps the focus nor shows a caret.
            const int target = callbacks_.linkFocus(id);
            ::SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(target)), TRUE);
        }
        return TRUE;
    }
    // Clicks, menu commands (0) and accelerators (1); other notifications
    // (focus, double clicks) mean nothing to the logic.
    if (code <= 1 && handler_ != nullptr) {
        handler_->OnCommand(id);
    }
    return TRUE;
}

INT_PTR Win32DialogHost::OnNotify(const NMHDR& header) {
    if (header.code != EN_LINK || !callbacks_.linkMouse) {
        return FALSE;
    }
    const auto& link = reinterpret_cast<const ENLINK&>(header);
    std::string text;
    const LONG length = link.chrg.cpMax - link.chrg.cpMin;
    if (length > 0) {
        std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
        TEXTRANGEA range{};
        range.chrg = link.chrg;
        range.lpstrText = buffer.data();
        const LRESULT copied =
            ::SendMessageA(header.hwndFrom, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
        buffer.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0U);
        text = std::move(buffer);
    }
    callbacks_.linkMouse(static_cast<int>(header.idFrom), link.msg, text);
    return Result(0);
}

INT_PTR Win32DialogHost::OnControlColour(HDC dc, HWND control, WPARAM wParam, LPARAM lParam) {
    // The default brush and colours first, as the dialog would have them.
    const auto brush =
        static_cast<INT_PTR>(::DefWindowProcA(hwnd_, WM_CTLCOLORSTATIC, wParam, lParam));
    if (!callbacks_.controlStyle) {
        return brush;
    }
    const ControlStyle style = callbacks_.controlStyle(::GetDlgCtrlID(control));
    if (!style.customColour) {
        return brush;
    }
    if (style.emphasisFont && emphasisFont_) {
        ::SelectObject(dc, emphasisFont_.get());
    }
    ::SetTextColor(dc, ToColorRef(style.textColour));
    if (style.transparentBackground) {
        ::SetBkMode(dc, TRANSPARENT);
    }
    // Always the default brush: the emphasised texts sit on the dialog's background.
    return brush;
}

INT_PTR Win32DialogHost::OnPaintMinimised() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd_, &paint);
    ::SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    if (appIcon_ != nullptr) {
        ::DrawIcon(dc, x, y, appIcon_);
    }
    ::EndPaint(hwnd_, &paint);
    return TRUE;
}

HWND Win32DialogHost::Item(int id) const {
    if (hwnd_ == nullptr || id == kNoControlId) {
        return nullptr;
    }
    return ::GetDlgItem(hwnd_, id);
}

ControlKind Win32DialogHost::KindOf(int id) const {
    const ControlTemplate* c = template_.Find(id);
    return c == nullptr ? ControlKind::StaticLeft : c->kind;
}

void Win32DialogHost::SetWindowTitle(std::string_view title) {
    ::SetWindowTextA(hwnd_, std::string(title).c_str());
}

void Win32DialogHost::SetDlgItemText(int id, std::string_view text) {
    HWND item = Item(id);
    if (item == nullptr) {
        return;
    }
    ::SetWindowTextA(item, std::string(text).c_str());
    if (KindOf(id) == ControlKind::LinkText) {
        ApplyLinkFormat(item);
    }
}

std::string Win32DialogHost::GetDlgItemText(int id) const {
    HWND item = Item(id);
    if (item == nullptr) {
        return {};
    }
    const int length = ::GetWindowTextLengthA(item);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const int copied = ::GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void Win32DialogHost::EnableDlgItem(int id, bool enable) {
    HWND item = Item(id);
    if (item == nullptr) {
        return;
    }
    const bool hadFocus = ::GetFocus() == item;
    ::EnableWindow(item, enable ? TRUE : FALSE);
    if (!enable && hadFocus) {
        // A disabled control loses the focus to nobody; it gets it back when
        // it is enabled again, so the keyboard keeps working.
        focusLostBy_ = id;
    } else if (enable && focusLostBy_ == id) {
        focusLostBy_.reset();
        HWND focus = ::GetFocus();
        if (focus == nullptr || focus == hwnd_) {
            ::SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
        }
    }
}

bool Win32DialogHost::IsDlgItemEnabled(int id) const {
    HWND item = Item(id);
    return item != nullptr && ::IsWindowEnabled(item) != FALSE;
}

void Win32DialogHost::ShowDlgItem(int id, bool show) {
    if (HWND item = Item(id)) {
        ::ShowWindow(item, show ? SW_SHOW : SW_HIDE);
    }
}

void Win32DialogHost::SetDlgItemTooltip(int id, std::string_view text) {
    HWND item = Item(id);
    if (item == nullptr) {
        return;
    }
    if (tooltip_ == nullptr) {
        tooltip_ = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                     hwnd_, nullptr, instance_, nullptr);
        if (tooltip_ == nullptr) {
            return;
        }
    }
    std::string copy(text);
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(item);
    tool.lpszText = copy.data();
    const bool known = tooltipIds_.count(id) != 0;
    if (text.empty()) {
        if (known) {
            ::SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
            tooltipIds_.erase(id);
        }
    } else if (known) {
        ::SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    } else if (::SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0) {
        tooltipIds_.insert(id);
    }
}

void Win32DialogHost::CheckRadioButton(int firstId, int lastId, int checkId) {
    // An id outside the range unchecks them all, as the platform does.
    ::CheckRadioButton(hwnd_, firstId, lastId, checkId);
}

int Win32DialogHost::GetCheckedRadioButton(int firstId, int lastId) const {
    for (int id = firstId; id <= lastId; ++id) {
        if (::IsDlgButtonChecked(hwnd_, id) == BST_CHECKED) {
            return id;
        }
    }
    return 0;
}

void Win32DialogHost::MessageBox(std::string_view text, std::string_view caption,
                                 MessageIcon icon) {
    UINT type = MB_OK;
    switch (icon) {
        case MessageIcon::None:
            break;
        case MessageIcon::Exclamation:
        case MessageIcon::Warning:
            // One icon on Windows: MB_ICONWARNING is MB_ICONEXCLAMATION.
            type |= MB_ICONEXCLAMATION;
            break;
        case MessageIcon::Information:
            type |= MB_ICONINFORMATION;
            break;
    }
    // Before the window shows (start-up messages) the box stands on its own.
    HWND owner = hwnd_ != nullptr && ::IsWindowVisible(hwnd_) ? hwnd_ : nullptr;
    ::MessageBoxA(owner, std::string(text).c_str(), std::string(caption).c_str(), type);
}

void Win32DialogHost::PostMessage(unsigned message) {
    if (hwnd_ == nullptr) {
        return;
    }
    if (message >= wm::User) {
        posted_.insert(message);
    }
    // The queue runs posted messages before it makes up timer and paint
    // messages, so a posted message is handled before the next tick.
    if (::PostMessageA(hwnd_, message, 0, 0) == FALSE && message >= wm::User) {
        posted_.erase(posted_.find(message));
    }
}

void Win32DialogHost::PumpOneMessage() {
    MSG msg;
    if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) == FALSE) {
        return;
    }
    if (msg.message == WM_QUIT) {
        // Not ours to take: leave it for the modal loop.
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return;
    }
    if (hwnd_ == nullptr || ::IsDialogMessageA(hwnd_, &msg) == FALSE) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void Win32DialogHost::RepaintNow() {
    // The whole window, without erasing, painted before this returns.
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32DialogHost::RefreshColours() {
    if (hwnd_ == nullptr || !callbacks_.controlStyle) {
        return;
    }
    for (const ControlTemplate& c : template_.controls) {
        HWND item = Item(c.id);
        if (item == nullptr || !IsStaticText(c.kind)) {
            continue;
        }
        // The control draws with its own font, so the emphasised ones are
        // given the emphasis font as well as the colour rule's.
        const bool emphasis = callbacks_.controlStyle(c.id).emphasisFont && emphasisFont_;
        const auto known = emphasised_.find(c.id);
        if (known == emphasised_.end() || known->second != emphasis) {
            emphasised_[c.id] = emphasis;
            HFONT font = emphasis ? emphasisFont_.get() : dialogFont_;
            ::SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
        ::InvalidateRect(item, nullptr, TRUE);
    }
}

void Win32DialogHost::BeginWaitCursor() {
    HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
    if (busyDepth_++ == 0) {
        cursorBeforeWait_ = previous;
    }
}

void Win32DialogHost::EndWaitCursor() {
    if (busyDepth_ == 0) {
        return;
    }
    if (--busyDepth_ == 0) {
        ::SetCursor(cursorBeforeWait_ != nullptr
                        ? cursorBeforeWait_
                        : ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));  // IDC_ARROW
    }
}

unsigned Win32DialogHost::SetTimer(unsigned timerId, unsigned periodMs) {
    if (hwnd_ == nullptr || timerId == 0) {
        return 0;
    }
    return ::SetTimer(hwnd_, timerId, periodMs, nullptr) != 0 ? timerId : 0;
}

void Win32DialogHost::KillTimer(unsigned timerId) {
    if (hwnd_ != nullptr) {
        ::KillTimer(hwnd_, timerId);
    }
}

bool Win32DialogHost::HasSystemMenu() const {
    return hwnd_ != nullptr && ::GetSystemMenu(hwnd_, FALSE) != nullptr;
}

void Win32DialogHost::AppendSystemMenuSeparator() {
    if (HMENU menu = ::GetSystemMenu(hwnd_, FALSE)) {
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    }
}

void Win32DialogHost::AppendSystemMenuItem(unsigned commandId, std::string_view text) {
    if (HMENU menu = ::GetSystemMenu(hwnd_, FALSE)) {
        ::AppendMenuA(menu, MF_STRING, commandId, std::string(text).c_str());
    }
}

void Win32DialogHost::EnableSystemMenuItem(unsigned commandId, bool enable) {
    // A greyed Close also greys the close box.
    if (HMENU menu = ::GetSystemMenu(hwnd_, FALSE)) {
        ::EnableMenuItem(menu, commandId, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
    }
}

WindowRect Win32DialogHost::GetWindowRect() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return WindowRect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

WindowRect Win32DialogHost::GetScreenRect() const {
    return WindowRect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

void Win32DialogHost::MoveWindow(int left, int top) {
    ::SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32DialogHost::ShowAboutDialog() {
    if (callbacks_.showAbout) {
        callbacks_.showAbout();
    }
}

void Win32DialogHost::EndDialog(int result) {
    if (hwnd_ != nullptr) {
        ::EndDialog(hwnd_, result);
    }
}

void Win32DialogHost::Log(std::string_view line) {
    // A GUI program's standard error may be a buffered file.
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    std::fflush(stderr);
}

}  // namespace vorenta::win32ui
