// The Win32 dialog host on a real (Wine) display: layout in Windows' dialog
// units, the order of posted messages and timer ticks, the colour request,
// the window menu, radio groups, the focus of a disabled button and links.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ui/AboutDlgIds.h"
#include "ui/AboutDlgTemplate.h"
#include "ui/Colours.h"
#include "ui/PictureGap.h"
#include "ui/UpdateDlgIds.h"
#include "ui/UpdateDlgTemplate.h"
#include "ui/win32/Win32DialogHost.h"

// After <windows.h>, which the host brings in.
#include <dbt.h>

namespace vorenta::win32ui {
namespace {

constexpr unsigned kTestTimer = 7;

// Records what the host delivers; `onTick` runs the checks once the dialog shows.
struct Recorder : IWindowHandler {
    std::vector<std::string> events;
    std::function<void()> onTick;
    std::function<void(unsigned)> onPosted;
    void OnCommand(int id) override { events.push_back("command " + std::to_string(id)); }
    void OnSysCommand(unsigned id) override {
        events.push_back("syscommand " + std::to_string(id));
    }
    void OnTimer(unsigned id) override {
        events.push_back("tick " + std::to_string(id));
        if (onTick) {
            auto run = std::move(onTick);
            onTick = nullptr;
            run();
        }
    }
    void OnPortsChanged() override { events.push_back("ports"); }
    void OnPostedMessage(unsigned m) override {
        events.push_back("posted " + std::to_string(m));
        if (onPosted) {
            onPosted(m);
        }
    }
};

// As the dialog manager places a control: position and size converted apart.
RECT DialogUnits(HWND dialog, int x, int y, int w, int h) {
    RECT at{x, y, x, y};
    RECT size{0, 0, w, h};
    ::MapDialogRect(dialog, &at);
    ::MapDialogRect(dialog, &size);
    return RECT{at.left, at.top, at.left + size.right, at.top + size.bottom};
}

RECT ClientRectOf(HWND dialog, HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Runs `checks` on the first tick of a shown update window, then ends it.
void WithUpdateWindow(DialogCallbacks callbacks,
                      const std::function<void(Win32DialogHost&, Recorder&)>& checks) {
    Win32DialogHost host(::GetModuleHandleA(nullptr), UpdateDlgTemplate(), nullptr, true);
    Recorder recorder;
    recorder.onTick = [&] {
        host.KillTimer(kTestTimer);
        checks(host, recorder);
        host.EndDialog(0);
    };
    callbacks.initDialog = [&host] {
        host.SetTimer(kTestTimer, 50);
        return true;
    };
    host.Attach(recorder, std::move(callbacks));
    EXPECT_EQ(host.RunModal(), 0);
}

TEST(Win32DialogHost, ControlsSitWhereTheTemplateSaysInTheShellFontsDialogUnits) {
    WithUpdateWindow({}, [](Win32DialogHost& host, Recorder&) {
        HWND dlg = host.Handle();
        RECT client{};
        ::GetClientRect(dlg, &client);
        const RECT whole = DialogUnits(dlg, 0, 0, 647, 392);
        EXPECT_EQ(client.right, whole.right);
        EXPECT_EQ(client.bottom, whole.bottom);
        for (const ControlTemplate& c : UpdateDlgTemplate().controls) {
            if (c.id == kNoControlId || c.kind == ControlKind::Picture) {
                continue;
            }
            RECT want = DialogUnits(dlg, c.x, c.y, c.width, c.height);
            const RECT got = ClientRectOf(dlg, ::GetDlgItem(dlg, c.id));
            if (c.id == ids::kLabelNotice) {
                // Beside the logo: moved clear of it where the units are small.
                const RECT logo = ClientRectOf(dlg, ::GetDlgItem(dlg, ids::kLogo));
                want.left = std::max<LONG>(want.left, logo.right + kPictureGapPx);
            }
            EXPECT_EQ(got.left, want.left) << c.id;
            EXPECT_EQ(got.top, want.top) << c.id;
            EXPECT_EQ(got.right, want.right) << c.id;
            EXPECT_EQ(got.bottom, want.bottom) << c.id;
        }
        // The logo shows at the bitmap's own 50 x 50 pixels.
        const RECT logo = ClientRectOf(dlg, ::GetDlgItem(dlg, ids::kLogo));
        EXPECT_EQ(logo.right - logo.left, 50);
        EXPECT_EQ(logo.bottom - logo.top, 50);
        const RECT notice = ClientRectOf(dlg, ::GetDlgItem(dlg, ids::kLabelNotice));
        EXPECT_GE(notice.left - logo.right, kPictureGapPx) << "the logo keeps clear of the notice";
        LOGFONTA font{};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(dlg, WM_GETFONT, 0, 0)), sizeof(font),
                     &font);
        EXPECT_STREQ(font.lfFaceName, "MS Shell Dlg");
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg, ids::IDCANCEL)) << "the focus starts on Done";
    });
}

TEST(Win32DialogHost, APostedMessageRunsBeforeTheNextTickEvenWhenTheTickIsDue) {
    Win32DialogHost host(::GetModuleHandleA(nullptr), UpdateDlgTemplate(), nullptr, false);
    Recorder recorder;
    int ticks = 0;
    DialogCallbacks callbacks;
    callbacks.initDialog = [&host] {
        host.SetTimer(ids::kUpdateTimerId, 10);
        return true;
    };
    host.Attach(recorder, std::move(callbacks));
    recorder.onTick = [&] {
        ++ticks;
        host.PostMessage(ids::UWM_MODULE_ANSWERED);
        host.PostMessage(ids::UWM_CANCEL_UPDATE);
        ::Sleep(60);  // the next tick is due long before this handler returns
    };
    recorder.onPosted = [&](unsigned m) {
        if (m == ids::UWM_CANCEL_UPDATE) {
            host.KillTimer(ids::kUpdateTimerId);
            host.EndDialog(0);
        }
    };
    host.RunModal();
    const std::vector<std::string> expected{"tick 10",
                                            "posted " + std::to_string(ids::UWM_MODULE_ANSWERED),
                                            "posted " + std::to_string(ids::UWM_CANCEL_UPDATE)};
    EXPECT_EQ(recorder.events, expected);
    EXPECT_EQ(ticks, 1);
}

TEST(Win32DialogHost, OnlySerialPortsComingAndGoingReachTheWindowAsAPortChange) {
    WithUpdateWindow({}, [](Win32DialogHost& host, Recorder& recorder) {
        HWND dialog = host.Handle();
        const auto send = [dialog](WPARAM event, const void* data) {
            ::SendMessageA(dialog, WM_DEVICECHANGE, event,
                           reinterpret_cast<LPARAM>(data));  // NOLINT(performance-no-int-to-ptr)
        };
        DEV_BROADCAST_PORT_A port{};
        port.dbcp_size = sizeof port;
        port.dbcp_devicetype = DBT_DEVTYP_PORT;
        ::lstrcpynA(port.dbcp_name, "COM9", 5);
        DEV_BROADCAST_DEVICEINTERFACE_A comInterface{};
        comInterface.dbcc_size = sizeof comInterface;
        comInterface.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        comInterface.dbcc_classguid = {
            0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};
        DEV_BROADCAST_DEVICEINTERFACE_A otherInterface = comInterface;
        otherInterface.dbcc_classguid.Data1 = 0x53F56307;  // a disk, say
        DEV_BROADCAST_HDR volume{};
        volume.dbch_size = sizeof volume;
        volume.dbch_devicetype = DBT_DEVTYP_VOLUME;

        recorder.events.clear();
        send(DBT_DEVICEARRIVAL, &port);
        send(DBT_DEVICEREMOVECOMPLETE, &comInterface);
        send(DBT_DEVICEQUERYREMOVE, &port);  // asked, not gone
        send(DBT_DEVICEARRIVAL, &otherInterface);
        send(DBT_DEVICEARRIVAL, &volume);
        send(DBT_DEVNODES_CHANGED, nullptr);
        EXPECT_EQ(recorder.events, (std::vector<std::string>{"ports", "ports"}));
    });
}

TEST(Win32DialogHost, PumpOneMessageTakesThePostedPaintWithoutWaiting) {
    WithUpdateWindow({}, [](Win32DialogHost& host, Recorder& recorder) {
        host.PostMessage(ids::UWM_MODULE_ANSWERED);
        host.PumpOneMessage();
        EXPECT_EQ(recorder.events.back(), "posted " + std::to_string(ids::UWM_MODULE_ANSWERED));
        host.PostMessage(wm::Paint);
        const DWORD start = ::GetTickCount();
        host.PumpOneMessage();
        EXPECT_LT(::GetTickCount() - start, 1000U);
    });
}

TEST(Win32DialogHost, ColourRequestGivesEmphasisedLinesRedTransparentTextInTheBoldFont) {
    DialogCallbacks callbacks;
    callbacks.controlStyle = [](int id) {
        ControlStyle s;
        if (id == ids::kUseForLine) {
            s.emphasisFont = true;
            s.customColour = true;
            s.textColour = kEmphasisRed;
            s.transparentBackground = true;
        }
        return s;
    };
    WithUpdateWindow(std::move(callbacks), [](Win32DialogHost& host, Recorder&) {
        HWND dlg = host.Handle();
        HDC dc = ::CreateCompatibleDC(nullptr);
        ::SetTextColor(dc, RGB(1, 2, 3));
        const LRESULT brush =
            ::SendMessageA(dlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(::GetDlgItem(dlg, ids::kUseForLine)));
        EXPECT_EQ(::GetTextColor(dc), RGB(192, 0, 0));
        EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
        EXPECT_NE(brush, 0);
        ::SetTextColor(dc, RGB(1, 2, 3));
        const LRESULT plain =
            ::SendMessageA(dlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(::GetDlgItem(dlg, ids::kStatusLine)));
        EXPECT_EQ(::GetTextColor(dc), ::GetSysColor(COLOR_WINDOWTEXT)) << "the default colours";
        EXPECT_EQ(plain, brush) << "always the default brush";
        ::DeleteDC(dc);

        LOGFONTA bold{};
        ::GetObjectA(reinterpret_cast<HFONT>(
                         ::SendMessageA(::GetDlgItem(dlg, ids::kUseForLine), WM_GETFONT, 0, 0)),
                     sizeof(bold), &bold);
        EXPECT_EQ(bold.lfWeight, FW_BOLD);
        EXPECT_STREQ(bold.lfFaceName, "Microsoft Sans Serif");
        HDC screen = ::GetDC(dlg);
        EXPECT_EQ(bold.lfHeight, -::MulDiv(::GetDeviceCaps(screen, LOGPIXELSY), 9, 72));
        ::ReleaseDC(dlg, screen);
    });
}

TEST(Win32DialogHost, WindowMenuGetsTheAboutItemAndGreysCloseAndAbout) {
    WithUpdateWindow({}, [](Win32DialogHost& host, Recorder& recorder) {
        ASSERT_TRUE(host.HasSystemMenu());
        host.AppendSystemMenuSeparator();
        host.AppendSystemMenuItem(ids::kSysCommandAbout, "About A && B...");
        HMENU menu = ::GetSystemMenu(host.Handle(), FALSE);
        char text[64] = {};
        ::GetMenuStringA(menu, ids::kSysCommandAbout, text, sizeof(text), MF_BYCOMMAND);
        EXPECT_STREQ(text, "About A && B...");
        host.EnableSystemMenuItem(ids::kSysCommandClose, false);
        host.EnableSystemMenuItem(ids::kSysCommandAbout, false);
        EXPECT_NE(::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED, 0U);
        EXPECT_NE(::GetMenuState(menu, ids::kSysCommandAbout, MF_BYCOMMAND) & MF_GRAYED, 0U);
        host.EnableSystemMenuItem(ids::kSysCommandClose, true);
        EXPECT_EQ(::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED, 0U);
        // The About command reaches the logic; the rest stays the dialog manager's.
        ::SendMessageA(host.Handle(), WM_SYSCOMMAND, ids::kSysCommandAbout, 0);
        EXPECT_EQ(recorder.events.back(), "syscommand 16");
    });
}

TEST(Win32DialogHost, RadioGroupChecksOneOrNoneAndTheFocusSurvivesADisabledButton) {
    WithUpdateWindow({}, [](Win32DialogHost& host, Recorder&) {
        HWND dlg = host.Handle();
        host.CheckRadioButton(ids::kFirstPortButton, ids::kLastPortButton, 2005);
        EXPECT_EQ(host.GetCheckedRadioButton(ids::kFirstPortButton, ids::kLastPortButton), 2005);
        host.CheckRadioButton(ids::kFirstPortButton, ids::kLastPortButton, 0);
        EXPECT_EQ(host.GetCheckedRadioButton(ids::kFirstPortButton, ids::kLastPortButton), 0);

        ::SendMessageA(dlg, WM_NEXTDLGCTL,
                       reinterpret_cast<WPARAM>(::GetDlgItem(dlg, ids::kBeginUpdate)), TRUE);
        host.EnableDlgItem(ids::kBeginUpdate, false);
        EXPECT_FALSE(host.IsDlgItemEnabled(ids::kBeginUpdate));
        host.EnableDlgItem(ids::kBeginUpdate, true);
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg, ids::kBeginUpdate));

        host.SetDlgItemText(ids::kStatusLine, "A & B");
        EXPECT_EQ(host.GetDlgItemText(ids::kStatusLine), "A & B");
    });
}

TEST(Win32DialogHost, LinksReportTheirTextOnAPressAndHandTheFocusToOk) {
    // The link controls' class, as the program's start-up loads it.
    HMODULE richEdit = ::LoadLibraryA("Riched20.dll");
    ASSERT_NE(richEdit, nullptr);
    Win32DialogHost host(::GetModuleHandleA(nullptr), AboutDlgTemplate(), nullptr, false);
    Recorder recorder;
    std::vector<std::string> presses;
    DialogCallbacks callbacks;
    callbacks.initDialog = [&host] {
        host.SetDlgItemText(about_ids::kSalesLink, "sales@example.com");
        host.SetTimer(kTestTimer, 50);
        return true;
    };
    callbacks.linkMouse = [&](int id, unsigned message, const std::string& text) {
        if (message == WM_LBUTTONDOWN) {
            presses.push_back(std::to_string(id) + " " + text);
        }
    };
    callbacks.linkFocus = [](int) { return about_ids::IDOK; };
    host.Attach(recorder, std::move(callbacks));
    recorder.onTick = [&] {
        host.KillTimer(kTestTimer);
        HWND link = ::GetDlgItem(host.Handle(), about_ids::kSalesLink);
        CHARFORMAT2A format{};
        format.cbSize = sizeof(format);
        ::SendMessageA(link, EM_SETSEL, 0, 1);
        ::SendMessageA(link, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        EXPECT_NE(format.dwEffects & CFE_LINK, 0U);
        EXPECT_NE(::SendMessageA(link, EM_GETEVENTMASK, 0, 0) & ENM_LINK, 0);
        POINTL at{};
        ::SendMessageA(link, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), 2);
        const LPARAM where = MAKELPARAM(at.x + 1, at.y + 3);
        ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, where);
        ::SendMessageA(link, WM_LBUTTONUP, 0, where);
        ::SetFocus(link);
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(host.Handle(), about_ids::IDOK));
        host.EndDialog(1);
    };
    EXPECT_EQ(host.RunModal(), 1);
    ::FreeLibrary(richEdit);
    ASSERT_FALSE(presses.empty());
    EXPECT_EQ(presses.front(), "1082 sales@example.com");
}

}  // namespace
}  // namespace vorenta::win32ui
