#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/WindowServices.h"
#include "ui/DialogHost.h"
#include "ui/DialogTemplate.h"
#include "ui/win32/WinApi.h"

namespace vorenta::win32ui {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
struct IconDeleter {
    void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// A modal Win32 dialog made from a template table (DialogBoxIndirectParamA),
// serving IWindowServices to the dialog's logic and routing the dialog
// manager's messages to its IWindowHandler.
class Win32DialogHost : public IDialogHost {
  public:
    // `windowIcon`: the application icon becomes the window's large icon.
    Win32DialogHost(HINSTANCE instance, const DialogTemplate& dialogTemplate, HWND owner,
                    bool windowIcon);
    ~Win32DialogHost() override;
    Win32DialogHost(const Win32DialogHost&) = delete;
    Win32DialogHost& operator=(const Win32DialogHost&) = delete;

    // IDialogHost. RunModal creates the dialog and returns -1 when it could
    // not be created; the teardown runs in WM_DESTROY.
    void Attach(IWindowHandler& handler, DialogCallbacks callbacks) override;
    int RunModal() override;

    // The dialog's window while it exists, else null.
    HWND Handle() const { return hwnd_; }

    // IWindowServices.
    void SetWindowTitle(std::string_view title) override;
    void SetDlgItemText(int id, std::string_view text) override;
    std::string GetDlgItemText(int id) const override;
    void EnableDlgItem(int id, bool enable) override;
    bool IsDlgItemEnabled(int id) const override;
    void ShowDlgItem(int id, bool show) override;
    void SetDlgItemTooltip(int id, std::string_view text) override;
    void CheckRadioButton(int firstId, int lastId, int checkId) override;
    int GetCheckedRadioButton(int firstId, int lastId) const override;
    void MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) override;
    void PostMessage(unsigned message) override;
    void PumpOneMessage() override;
    void RepaintNow() override;
    void RefreshColours() override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    unsigned SetTimer(unsigned timerId, unsigned periodMs) override;
    void KillTimer(unsigned timerId) override;
    bool HasSystemMenu() const override;
    void AppendSystemMenuSeparator() override;
    void AppendSystemMenuItem(unsigned commandId, std::string_view text) override;
    void EnableSystemMenuItem(unsigned commandId, bool enable) override;
    WindowRect GetWindowRect() const override;
    WindowRect GetScreenRect() const override;
    void MoveWindow(int left, int top) override;
    void ShowAboutDialog() override;
    void EndDialog(int result) override;
    void Log(std::string_view line) override;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnInitDialog();
    INT_PTR OnCommandMessage(WPARAM wParam);
    INT_PTR OnNotify(const NMHDR& header);
    INT_PTR OnControlColour(HDC dc, HWND control, WPARAM wParam, LPARAM lParam);
    INT_PTR OnPaintMinimised();
    // Asks the system for the COM port interface's arrivals and removals.
    void WatchPorts();
    // A message handled with a result the dialog manager passes on.
    INT_PTR Result(LRESULT result);

    HWND Item(int id) const;
    ControlKind KindOf(int id) const;
    void ShowLogo(HWND picture);
    // Moves the texts beside `picture` clear of it.
    void KeepTextsClearOf(HWND picture);
    void MakeLink(HWND link);
    void ApplyLinkFormat(HWND link);

    HINSTANCE instance_;
    const DialogTemplate& template_;
    HWND owner_;
    bool windowIcon_;
    HWND hwnd_ = nullptr;
    IWindowHandler* handler_ = nullptr;
    DialogCallbacks callbacks_;
    std::vector<std::uint16_t> templateWords_;

    HFONT dialogFont_ = nullptr;  // the dialog manager's, not ours to delete
    UniqueFont emphasisFont_;
    UniqueBitmap logo_;
    HICON appIcon_ = nullptr;  // a shared resource icon
    HWND tooltip_ = nullptr;   // a child of the dialog, destroyed with it
    HDEVNOTIFY portNotification_ = nullptr;
    std::set<int> tooltipIds_;
    std::map<int, bool> emphasised_;
    std::multiset<unsigned> posted_;
    int busyDepth_ = 0;
    HCURSOR cursorBeforeWait_ = nullptr;
    std::optional<int> focusLostBy_;
};

}  // namespace vorenta::win32ui
