// The wxWidgets host on a real display (run through run_with_xvfb.sh).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/timer.h>
#include <wx/tooltip.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include <vector>

#include <dlfcn.h>
#include <unistd.h>

#include "ui/AboutDlgIds.h"
#include "ui/AboutDlgTemplate.h"
#include "ui/PictureGap.h"
#include "ui/UpdateDlgIds.h"
#include "ui/UpdateDlgTemplate.h"
#include "ui/UpdateDlgTexts.h"
#include "ui/WindowPlacement.h"
#include "ui/wx/WxDialogHost.h"
#include "ui/wx/WxImages.h"
#include "ui/wx/WxMessageBox.h"
#include "ui/wx/WxToolkit.h"

namespace vorenta::wxui {
namespace {

constexpr unsigned kMessageA = ids::UWM_MODULE_ANSWERED;
constexpr unsigned kMessageB = ids::UWM_CANCEL_UPDATE;

class ToolkitEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "wx_host_tests";
        static char* argv[] = {name, nullptr};
        toolkit_ = std::make_unique<Toolkit>(argc, argv);
        ASSERT_TRUE(toolkit_->IsOk()) << "no display; run through run_with_xvfb.sh";
    }
    void TearDown() override { toolkit_.reset(); }

  private:
    std::unique_ptr<Toolkit> toolkit_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment);

// Records what the host delivers; `onTick` and `onPosted` script a scenario.
class Recorder : public IWindowHandler {
  public:
    void OnCommand(int id) override { events.push_back("command " + std::to_string(id)); }
    void OnSysCommand(unsigned id) override { events.push_back("sys " + std::to_string(id)); }
    void OnTimer(unsigned id) override {
        events.push_back("tick " + std::to_string(id));
        if (onTick) {
            onTick(++ticks);
        }
    }
    void OnPostedMessage(unsigned message) override {
        events.push_back("posted " + std::to_string(message));
        if (onPosted) {
            onPosted(message);
        }
    }
    std::vector<std::string> events;
    std::function<void(int)> onTick;
    std::function<void(unsigned)> onPosted;
    int ticks = 0;
};

class WxDialogHostTest : public ::testing::Test {
  protected:
    WxDialogHost host{nullptr, UpdateDlgTemplate(), MakeAppIcons()};
    Recorder recorder;

    // Runs the dialog modally with `init` as its initialisation; gives up
    // after five seconds.
    int Run(std::function<void()> init) {
        wxTimer guard;
        guard.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { host.EndDialog(-1); });
        DialogCallbacks callbacks;
        callbacks.initDialog = [&] {
            init();
            guard.StartOnce(5000);
            return true;
        };
        host.Attach(recorder, std::move(callbacks));
        return host.RunModal();
    }

    static void BusyWait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

TEST_F(WxDialogHostTest, TextsShowAmpersandsAndLandInDialogUnits) {
    const std::string notice = "Vantor & DO-232 R2 && more";
    host.SetDlgItemText(ids::kLabelNotice, notice);
    host.SetWindowTitle("A & B Firmware Update");
    auto* label = static_cast<wxStaticText*>(host.ControlWindow(ids::kLabelNotice));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetLabelText().ToStdString(), notice);
    EXPECT_EQ(host.GetDlgItemText(ids::kLabelNotice), notice);
    EXPECT_EQ(host.GetTitle().ToStdString(), "A & B Firmware Update");
    EXPECT_EQ(host.GetDlgItemText(ids::kFirmwareFileLine), "Firmware file  =");
    EXPECT_EQ(host.GetDlgItemText(9999), "");

    EXPECT_EQ(host.GetClientSize(), host.ConvertDialogToPixels(wxSize(647, 392)));
    EXPECT_EQ(host.ControlWindow(ids::IDCANCEL)->GetPosition(),
              host.ConvertDialogToPixels(wxPoint(453, 372)));
    // A port button keeps its column and the middle of its row.
    const wxRect com14 = host.ControlWindow(ids::kFirstPortButton + 12)->GetRect();
    const wxPoint rowTop = host.ConvertDialogToPixels(wxPoint(24 + 56, 52));
    const int rowHeight = host.ConvertDialogToPixels(wxSize(36, 10)).GetHeight();
    EXPECT_EQ(com14.GetX(), rowTop.x);
    EXPECT_NEAR(com14.GetY() + com14.GetHeight() / 2.0, rowTop.y + rowHeight / 2.0, 1.0);
    // The logo keeps its own 50 x 50 pixels.
    EXPECT_EQ(host.ControlWindow(ids::kLogo)->GetSize(), wxSize(50, 50));
    // No default button on the update window.
    EXPECT_EQ(host.GetDefaultItem(), nullptr);
}

TEST_F(WxDialogHostTest, RadioGroupCanBeLeftWithNothingChecked) {
    host.CheckRadioButton(ids::kFirstPortButton, ids::kLastPortButton, 2005);
    EXPECT_EQ(host.GetCheckedRadioButton(ids::kFirstPortButton, ids::kLastPortButton), 2005);
    host.CheckRadioButton(ids::kFirstPortButton, ids::kLastPortButton, -1);
    EXPECT_EQ(host.GetCheckedRadioButton(ids::kFirstPortButton, ids::kLastPortButton), 0);
    host.CheckRadioButton(ids::kFirstPortButton, ids::kLastPortButton, 2022);
    EXPECT_EQ(host.GetCheckedRadioButton(ids::kFirstPortButton, ids::kLastPortButton), 2022);
    EXPECT_FALSE(static_cast<wxRadioButton*>(host.ControlWindow(2005))->GetValue());
}

TEST_F(WxDialogHostTest, ColourRuleFollowsTheLogic) {
    bool active = false;
    DialogCallbacks callbacks;
    callbacks.controlStyle = [&active](int id) {
        ControlStyle style;
        if (id == ids::kStatusLine && active) {
            style.emphasisFont = true;
            style.customColour = true;
            style.textColour = 0x0000C0;  // RGB(192, 0, 0)
            style.transparentBackground = true;
        }
        return style;
    };
    host.Attach(recorder, std::move(callbacks));
    wxWindow* status = host.ControlWindow(ids::kStatusLine);
    host.RefreshColours();
    const wxColour normalColour = status->GetForegroundColour();
    EXPECT_NE(status->GetFont().GetWeight(), wxFONTWEIGHT_BOLD);

    active = true;
    host.RefreshColours();
    EXPECT_EQ(status->GetFont().GetWeight(), wxFONTWEIGHT_BOLD);
    EXPECT_EQ(status->GetFont(), host.Fonts().emphasis);
    EXPECT_EQ(status->GetForegroundColour(), wxColour(192, 0, 0));

    active = false;
    host.RefreshColours();
    EXPECT_NE(status->GetFont().GetWeight(), wxFONTWEIGHT_BOLD);
    EXPECT_EQ(status->GetForegroundColour(), normalColour);
}

TEST_F(WxDialogHostTest, PostedMessageRunsAfterItsHandlerAndBeforeTheNextTick) {
    recorder.onTick = [this](int tick) {
        if (tick == 1) {
            host.PostMessage(kMessageA);
            recorder.events.push_back("handler returns");
            // Let the next tick fall due before this handler returns.
            BusyWait(80);
        } else if (tick == 3) {
            host.EndDialog(7);
        }
    };
    EXPECT_EQ(Run([this] { host.SetTimer(ids::kUpdateTimerId, 20); }), 7);
    const std::vector<std::string> expected{"tick 10", "handler returns", "posted 1125", "tick 10",
                                            "tick 10"};
    EXPECT_EQ(recorder.events, expected);
}

TEST_F(WxDialogHostTest, PumpOneMessageDispatchesOneWaitingMessage) {
    recorder.onTick = [this](int tick) {
        if (tick != 1) {
            return;
        }
        host.KillTimer(ids::kUpdateTimerId);
        host.PostMessage(kMessageA);
        host.PostMessage(kMessageB);
        host.PumpOneMessage();
        recorder.events.push_back("pumped");
    };
    recorder.onPosted = [this](unsigned message) {
        if (message == kMessageB) {
            host.EndDialog(1);
        }
    };
    EXPECT_EQ(Run([this] { host.SetTimer(ids::kUpdateTimerId, 20); }), 1);
    const std::vector<std::string> expected{"tick 10", "posted 1125", "pumped", "posted 1126"};
    EXPECT_EQ(recorder.events, expected);
}

TEST_F(WxDialogHostTest, CloseIsRefusedWhileDoneIsDisabledOrCloseGreyed) {
    recorder.onTick = [this](int tick) {
        switch (tick) {
            case 1:
                host.EnableDlgItem(ids::IDCANCEL, false);
                host.Close();
                break;
            case 2:
                host.EnableDlgItem(ids::IDCANCEL, true);
                host.EnableSystemMenuItem(ids::kSysCommandClose, false);
                host.Close();
                break;
            case 3:
                host.EnableSystemMenuItem(ids::kSysCommandClose, true);
                host.Close();
                break;
            default:
                host.EndDialog(2);
        }
    };
    Run([this] { host.SetTimer(ids::kUpdateTimerId, 20); });
    const std::vector<std::string> expected{"tick 10", "tick 10", "tick 10", "command 2",
                                            "tick 10"};
    EXPECT_EQ(recorder.events, expected);
}

TEST_F(WxDialogHostTest, EndedDuringInitialisationNeverShows) {
    EXPECT_EQ(Run([this] { host.EndDialog(2); }), 2);
    EXPECT_FALSE(host.IsShown());
}

TEST_F(WxDialogHostTest, FocusStartsOnDoneRingedAndReturnsToAReenabledButton) {
    wxWindow* done = host.ControlWindow(ids::IDCANCEL);
    wxWindow* begin = host.ControlWindow(ids::kBeginUpdate);
    wxWindow* seenFirst = nullptr;
    wxWindow* ringFirst = nullptr;
    wxWindow* ringMoved = nullptr;
    recorder.onTick = [&](int tick) {
        if (tick == 1) {
            seenFirst = wxWindow::FindFocus();
            ringFirst = host.FocusRingControl();
            begin->SetFocus();
        } else if (tick == 2) {
            ringMoved = host.FocusRingControl();
            host.EnableDlgItem(ids::kBeginUpdate, false);
        } else if (tick == 3) {
            host.EnableDlgItem(ids::kBeginUpdate, true);
        } else if (tick == 4) {
            EXPECT_EQ(wxWindow::FindFocus(), begin);
            host.EndDialog(0);
        }
    };
    Run([this] { host.SetTimer(ids::kUpdateTimerId, 100); });
    EXPECT_EQ(seenFirst, done);
    // The ring is drawn from the start, before any key, and follows the focus.
    EXPECT_EQ(ringFirst, done);
    EXPECT_EQ(ringMoved, begin);
}

// What a message box showed when it first had nothing left to handle; the
// box is then closed as an operator would close it.
struct SeenBox {
    bool shown = false;
    bool hasIcon = false;
    wxImage icon;
    std::string text;
};

// Watches for the box titled `caption` from the application's idle time.
class BoxWatcher {
  public:
    explicit BoxWatcher(wxString caption) : caption_(std::move(caption)) {
        wxTheApp->Bind(wxEVT_IDLE, &BoxWatcher::OnIdle, this);
    }
    ~BoxWatcher() { wxTheApp->Unbind(wxEVT_IDLE, &BoxWatcher::OnIdle, this); }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;
    SeenBox seen;

  private:
    void OnIdle(wxIdleEvent& event) {
        event.Skip();
        for (wxWindow* top : wxTopLevelWindows) {
            auto* box = wxDynamicCast(top, wxDialog);
            if (box == nullptr || box->GetTitle() != caption_ || !box->IsModal() || seen.shown) {
                continue;
            }
            seen.shown = true;
            if (auto* icon = wxDynamicCast(box->FindWindow(kMessageBoxIconName), wxStaticBitmap)) {
                seen.hasIcon = icon->GetBitmap().IsOk() && icon->GetBitmap().GetWidth() >= 16;
                if (seen.hasIcon) {
                    seen.icon = icon->GetBitmap().ConvertToImage();
                }
            }
            if (auto* text = wxDynamicCast(box->FindWindow(kMessageBoxTextName), wxStaticText)) {
                seen.text = text->GetLabelText().ToStdString();
            }
            box->EndModal(wxID_OK);
        }
    }
    wxString caption_;
};

TEST_F(WxDialogHostTest, TypeAheadGivenWhileBusyNeverReachesTheMessageBox) {
    const std::string title = "Type-ahead " + std::to_string(::getpid());
    BoxWatcher watcher("Firmware Update Complete");
    recorder.onTick = [&](int tick) {
        if (tick != 1) {
            return;
        }
        host.KillTimer(ids::kUpdateTimerId);
        // As during a transfer: the window is locked and busy while the
        // operator presses Esc and Enter; xdotool returns once the display
        // server has taken the keys. It moves the display's keyboard focus,
        // so this test runs on a display of its own (CMakeLists.txt).
        host.EnableDlgItem(ids::IDCANCEL, false);
        const std::string keys = "xdotool search --sync --onlyvisible --name '^" + title +
                                 "$' windowfocus --sync key Escape Return";
        ASSERT_EQ(std::system(keys.c_str()), 0);
        host.MessageBox("The firmware has been updated.", "Firmware Update Complete",
                        MessageIcon::Information);
        recorder.events.push_back("box closed");
        host.EnableDlgItem(ids::IDCANCEL, true);
        host.EndDialog(5);
    };
    EXPECT_EQ(Run([&] {
                  host.SetWindowTitle(title);
                  host.SetTimer(ids::kUpdateTimerId, 50);
              }),
              5);
    EXPECT_TRUE(watcher.seen.shown) << "the box was closed by keys pressed before it opened";
    EXPECT_TRUE(watcher.seen.hasIcon);
    EXPECT_EQ(watcher.seen.text, "The firmware has been updated.");
    // Neither key reached the window afterwards either.
    const std::vector<std::string> expected{"tick 10", "box closed"};
    EXPECT_EQ(recorder.events, expected);
}

TEST(WxMessageBox, CarriesTheIconOfItsKindAndTheWholeText) {
    const std::string text = "Unable to open the temporary firmware file.               ";
    for (const auto& [icon, withIcon] :
         {std::pair{MessageIcon::Exclamation, true}, std::pair{MessageIcon::Warning, true},
          std::pair{MessageIcon::Information, true}, std::pair{MessageIcon::None, false}}) {
        BoxWatcher watcher("Firmware Update Error");
        ShowMessageBox(nullptr, wxString::FromUTF8(text), "Firmware Update Error", icon);
        EXPECT_TRUE(watcher.seen.shown);
        EXPECT_EQ(watcher.seen.hasIcon, withIcon) << static_cast<int>(icon);
        EXPECT_EQ(watcher.seen.text, text);
    }
}

// Whether two images have the same size and pixels, alpha included.
bool SameImage(const wxImage& a, const wxImage& b) {
    if (a.GetSize() != b.GetSize() || a.HasAlpha() != b.HasAlpha()) {
        return false;
    }
    const std::size_t pixels = static_cast<std::size_t>(a.GetWidth()) * a.GetHeight();
    return std::equal(a.GetData(), a.GetData() + pixels * 3, b.GetData()) &&
           (!a.HasAlpha() || std::equal(a.GetAlpha(), a.GetAlpha() + pixels, b.GetAlpha()));
}

TEST(WxMessageBox, InformationShowsOurOwnSymbolWhateverTheIconTheme) {
    BoxWatcher watcher("Firmware Update Complete");
    ShowMessageBox(nullptr, "Done.", "Firmware Update Complete", MessageIcon::Information);
    ASSERT_TRUE(watcher.seen.hasIcon);
    EXPECT_TRUE(SameImage(watcher.seen.icon, DrawInformationSymbol(48)));

    BoxWatcher warning("Firmware Update Error");
    ShowMessageBox(nullptr, "Failed.", "Firmware Update Error", MessageIcon::Exclamation);
    ASSERT_TRUE(warning.seen.hasIcon);
    EXPECT_FALSE(SameImage(warning.seen.icon, DrawInformationSymbol(48)));  // the theme's
}

TEST(WxImages, TheInformationSymbolIsAWhiteLetterOnABlueDiscAndClearAround) {
    for (const int size : {48, 96}) {
        const wxImage symbol = DrawInformationSymbol(size);
        ASSERT_TRUE(symbol.HasAlpha());
        const auto white = [&](int x, int y) {
            return symbol.GetRed(x, y) > 240 && symbol.GetGreen(x, y) > 240 &&
                   symbol.GetBlue(x, y) > 240 && symbol.GetAlpha(x, y) == 255;
        };
        const auto blue = [&](int x, int y) {
            return symbol.GetBlue(x, y) > 150 && symbol.GetRed(x, y) < 80 &&
                   symbol.GetAlpha(x, y) == 255;
        };
        const int mid = size / 2;
        EXPECT_EQ(symbol.GetAlpha(0, 0), 0) << size;  // the corners show the box
        EXPECT_EQ(symbol.GetAlpha(size - 1, size - 1), 0) << size;
        EXPECT_TRUE(white(mid, size * 27 / 100)) << "the dot, " << size;
        EXPECT_TRUE(white(mid, size * 60 / 100)) << "the stem, " << size;
        EXPECT_TRUE(blue(mid, size * 38 / 100)) << "between dot and stem, " << size;
        EXPECT_TRUE(blue(size / 6, mid)) << "the disc, " << size;
        EXPECT_TRUE(blue(mid, size * 88 / 100)) << "below the stem, " << size;
        // Even left and right, so the letter stands upright in the middle.
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < mid; ++x) {
                ASSERT_EQ(symbol.GetAlpha(x, y), symbol.GetAlpha(size - 1 - x, y)) << x << "," << y;
                ASSERT_EQ(symbol.GetRed(x, y), symbol.GetRed(size - 1 - x, y)) << x << "," << y;
            }
        }
    }
}

TEST_F(WxDialogHostTest, ACutLineShowsAnEllipsisAndItsWholeTextAsTooltip) {
    wxWindow* line = host.ControlWindow(ids::kFirmwareVersionLine);
    const std::string version = "Firmware version  =  " + std::string(400, 'V') + " end";
    host.SetDlgItemText(ids::kFirmwareVersionLine, version);
    ASSERT_NE(line->GetToolTip(), nullptr);
    EXPECT_EQ(line->GetToolTip()->GetTip().ToStdString(), version);
    EXPECT_TRUE(line->HasFlag(wxST_ELLIPSIZE_END));
    host.SetDlgItemText(ids::kFirmwareVersionLine, "Firmware version  =  1.0");
    EXPECT_EQ(line->GetToolTip(), nullptr);
    // A tooltip the logic sets (a port's device) stays.
    host.SetDlgItemTooltip(ids::kFirstPortButton, "/dev/ttyUSB0");
    host.SetDlgItemText(ids::kFirstPortButton, "COM33");
    ASSERT_NE(host.ControlWindow(ids::kFirstPortButton)->GetToolTip(), nullptr);
    EXPECT_EQ(host.ControlWindow(ids::kFirstPortButton)->GetToolTip()->GetTip(), "/dev/ttyUSB0");
}

// GTK's own view of its widgets, looked up in the toolkit wxWidgets loaded
// (the test does not build against GTK's headers).
class Gtk {
  public:
    Gtk()
        : tooltipText_(Lookup<char* (*)(void*)>("gtk_widget_get_tooltip_text")),
          free_(Lookup<void (*)(void*)>("g_free")),
          toplevels_(Lookup<List* (*)()>("gtk_window_list_toplevels")),
          listFree_(Lookup<void (*)(List*)>("g_list_free")),
          mapped_(Lookup<int (*)(void*)>("gtk_widget_get_mapped")),
          typeHint_(Lookup<int (*)(void*)>("gtk_window_get_type_hint")) {}

    bool IsOk() const {
        return tooltipText_ && free_ && toplevels_ && listFree_ && mapped_ && typeHint_;
    }

    std::string TooltipText(wxWindow* window) const {
        char* text = tooltipText_(window->GetHandle());
        std::string result = text != nullptr ? text : "";
        free_(text);
        return result;
    }

    // A tooltip window of the toolkit is on the screen.
    bool TooltipShown() const {
        constexpr int kTooltipHint = 10;  // GDK_WINDOW_TYPE_HINT_TOOLTIP
        List* all = toplevels_();
        bool shown = false;
        for (List* l = all; l != nullptr; l = l->next) {
            shown = shown || (mapped_(l->data) != 0 && typeHint_(l->data) == kTooltipHint);
        }
        listFree_(all);
        return shown;
    }

  private:
    struct List {  // GList
        void* data;
        List* next;
        List* prev;
    };
    template <typename F>
    static F Lookup(const char* name) {
        return reinterpret_cast<F>(::dlsym(RTLD_DEFAULT, name));
    }
    char* (*tooltipText_)(void*);
    void (*free_)(void*);
    List* (*toplevels_)();
    void (*listFree_)(List*);
    int (*mapped_)(void*);
    int (*typeHint_)(void*);
};

TEST_F(WxDialogHostTest, APortsDeviceIsTheNativeTooltipAndShowsUnderThePointer) {
    const Gtk gtk;
    ASSERT_TRUE(gtk.IsOk());
    wxWindow* port = host.ControlWindow(ids::kFirstPortButton + 1);
    std::string nativeTip;
    std::string nativeTipCleared;
    bool shown = false;
    recorder.onTick = [&](int tick) {
        if (tick == 1) {
            nativeTip = gtk.TooltipText(port);
            // The pointer rests on the button; GTK shows the tip after its
            // hover delay (about half a second).
            const wxPoint centre = port->GetScreenRect().GetPosition() + port->GetSize() / 2;
            const std::string move = "xdotool mousemove " + std::to_string(centre.x - 2) + " " +
                                     std::to_string(centre.y) + " sleep 0.1 mousemove " +
                                     std::to_string(centre.x) + " " + std::to_string(centre.y);
            ASSERT_EQ(std::system(move.c_str()), 0);
        } else if (gtk.TooltipShown() || tick == 40) {
            shown = gtk.TooltipShown();
            host.SetDlgItemTooltip(ids::kFirstPortButton + 1, "");
            nativeTipCleared = gtk.TooltipText(port);
            host.EndDialog(0);
        }
    };
    Run([this] {
        for (int id : {ids::kFirstPortButton, ids::kFirstPortButton + 1}) {
            host.SetDlgItemTooltip(id, "/dev/ttyUSB" + std::to_string(id - ids::kFirstPortButton));
            host.SetDlgItemText(id, "COM" + std::to_string(id - ids::kFirstPortButton + 33));
        }
        host.SetTimer(ids::kUpdateTimerId, 100);
    });
    EXPECT_EQ(nativeTip, "/dev/ttyUSB1");
    EXPECT_TRUE(shown) << "no tooltip window appeared within four seconds";
    EXPECT_EQ(nativeTipCleared, "");
}

// Run on screens of several sizes and scales (see CMakeLists.txt): the whole
// window fits the work area, every control is inside it, and no fixed text is
// cut or squeezed.
TEST(WxDialogGeometry, TheUpdateWindowFitsTheWorkAreaWithEveryTextReadable) {
    WxDialogHost host(nullptr, UpdateDlgTemplate(), MakeAppIcons());
    Recorder recorder;
    const wxRect area = wxDisplay(0U).GetClientArea();
    wxRect frame;
    std::vector<std::string> outside;
    std::vector<std::string> cut;
    int logoGap = 0;
    recorder.onTick = [&](int) {
        host.KillTimer(ids::kUpdateTimerId);
        frame = host.GetRect();
        logoGap = host.ControlWindow(ids::kLabelNotice)->GetRect().GetLeft() -
                  host.ControlWindow(ids::kLogo)->GetRect().GetRight() - 1;
        if (const char* shot = std::getenv("VORENTA_SCREENSHOT")) {
            std::system((std::string("import -window root '") + shot + "'").c_str());
        }
        for (const ControlTemplate& c : UpdateDlgTemplate().controls) {
            wxWindow* w = host.ControlWindow(c.id);
            if (w == nullptr || !w->IsShown()) {
                continue;
            }
            const wxRect r(w->GetScreenPosition(), w->GetSize());
            if (!area.Contains(r)) {
                outside.push_back(std::to_string(c.id));
            }
            if (auto* label = wxDynamicCast(w, wxStaticText)) {
                wxClientDC dc(label);
                dc.SetFont(label->GetFont());
                const wxSize need = dc.GetMultiLineTextExtent(label->GetLabelText());
                const bool oneLine = c.height <= 12;
                if (label->GetToolTip() != nullptr || (oneLine && need.GetWidth() > r.GetWidth()) ||
                    (!oneLine && need.GetHeight() > r.GetHeight())) {
                    cut.push_back(
                        std::to_string(c.id) + " needs " + std::to_string(need.GetWidth()) + "x" +
                        std::to_string(need.GetHeight()) + ", has " + std::to_string(r.GetWidth()) +
                        "x" + std::to_string(r.GetHeight()));
                }
            } else if (auto* button = wxDynamicCast(w, wxControl)) {
                const wxSize need = button->GetBestSize();
                if (need.GetWidth() > r.GetWidth()) {
                    cut.push_back(std::to_string(c.id));
                }
            }
        }
        host.EndDialog(0);
    };
    DialogCallbacks callbacks;
    callbacks.initDialog = [&] {
        // Placed as the window's initialisation places it, the text the
        // logic sets in place.
        const WindowRect placed = PlaceWindow(host.GetWindowRect(), host.GetScreenRect());
        host.MoveWindow(placed.left, placed.top);
        host.SetDlgItemText(ids::kUseForLine, texts::kUseForLine);
        host.SetDlgItemText(ids::kLabelNotice, texts::kLabelNotice);
        host.SetDlgItemText(ids::kInstructions, texts::kInstructions);
        for (int id = ids::kFirstPortButton; id <= ids::kLastPortButton; ++id) {
            host.SetDlgItemText(id, "COM" + std::to_string(id - ids::kFirstPortButton + 79));
        }
        host.SetTimer(ids::kUpdateTimerId, 300);
        return true;
    };
    callbacks.controlStyle = [](int id) {
        ControlStyle style;
        style.emphasisFont = id == ids::kUseForLine || id == ids::kLabelNotice;
        return style;
    };
    host.Attach(recorder, std::move(callbacks));
    host.RunModal();
    std::printf("work area %dx%d at %d,%d; window %dx%d at %d,%d\n", area.width, area.height,
                area.x, area.y, frame.width, frame.height, frame.x, frame.y);
    EXPECT_TRUE(area.Contains(frame));
    EXPECT_GE(frame.GetTop(), area.GetTop());
    EXPECT_TRUE(outside.empty()) << outside.front();
    EXPECT_TRUE(cut.empty()) << cut.front();
    EXPECT_GE(logoGap, kPictureGapPx) << "the logo keeps clear of the notice beside it";
}

TEST(WxAboutHost, LinksReportMouseActionsAndHandTheFocusToOk) {
    WxDialogHost host(nullptr, AboutDlgTemplate(), MakeAppIcons());
    Recorder recorder;
    std::vector<std::string> mouse;
    wxWindow* link = host.ControlWindow(about_ids::kSalesLink);
    wxWindow* ok = host.ControlWindow(about_ids::IDOK);
    ASSERT_NE(link, nullptr);
    wxWindow* focusAfterLink = nullptr;
    recorder.onTick = [&](int tick) {
        if (tick == 1) {
            wxMouseEvent press(wxEVT_LEFT_DOWN);
            press.SetEventObject(link);
            link->GetEventHandler()->ProcessEvent(press);
            link->SetFocus();
        } else if (tick == 3) {
            focusAfterLink = wxWindow::FindFocus();
            host.EndDialog(1);
        }
    };
    DialogCallbacks callbacks;
    callbacks.initDialog = [&] {
        host.SetDlgItemText(about_ids::kSalesLink, "sales@example.com");
        host.SetTimer(1, 50);
        return true;
    };
    callbacks.linkMouse = [&](int id, unsigned message, const std::string& text) {
        mouse.push_back(std::to_string(id) + " " + std::to_string(message) + " " + text);
    };
    callbacks.linkFocus = [](int) { return about_ids::IDOK; };
    host.Attach(recorder, std::move(callbacks));
    EXPECT_EQ(host.RunModal(), 1);
    ASSERT_FALSE(mouse.empty());
    EXPECT_EQ(mouse.front(), "1082 513 sales@example.com");  // WM_LBUTTONDOWN
    EXPECT_EQ(focusAfterLink, ok);
    EXPECT_EQ(host.GetDefaultItem(), ok);
}

}  // namespace
}  // namespace vorenta::wxui
