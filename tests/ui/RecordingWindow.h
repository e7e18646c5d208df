#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/LinkOpener.h"
#include "platform/WindowServices.h"

namespace vorenta::testing {

// Keeps the texts, title, position and end result a dialog's logic set.
class RecordingWindow : public IWindowServices {
  public:
    void SetWindowTitle(std::string_view t) override { title = t; }
    void SetDlgItemText(int id, std::string_view text) override { texts[id] = text; }
    std::string GetDlgItemText(int id) const override {
        const auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    void EnableDlgItem(int, bool) override {}
    bool IsDlgItemEnabled(int) const override { return true; }
    void ShowDlgItem(int, bool) override {}
    void SetDlgItemTooltip(int, std::string_view) override {}
    void CheckRadioButton(int, int, int) override {}
    int GetCheckedRadioButton(int, int) const override { return 0; }
    void MessageBox(std::string_view, std::string_view, MessageIcon) override {}
    void PostMessage(unsigned) override {}
    void PumpOneMessage() override {}
    void RepaintNow() override {}
    void RefreshColours() override {}
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    unsigned SetTimer(unsigned id, unsigned) override { return id; }
    void KillTimer(unsigned) override {}
    bool HasSystemMenu() const override { return false; }
    void AppendSystemMenuSeparator() override {}
    void AppendSystemMenuItem(unsigned, std::string_view) override {}
    void EnableSystemMenuItem(unsigned, bool) override {}
    WindowRect GetWindowRect() const override { return window; }
    WindowRect GetScreenRect() const override { return screen; }
    void MoveWindow(int left, int top) override {
        window.left = left;
        window.top = top;
        ++moves;
    }
    void EndDialog(int result) override { endResults.push_back(result); }
    void Log(std::string_view) override {}

    std::string title;
    std::map<int, std::string> texts;
    WindowRect window{0, 0, 400, 300};
    WindowRect screen{0, 0, 1920, 1080};
    int moves = 0;
    std::vector<int> endResults;
};

class RecordingLinkOpener : public ILinkOpener {
  public:
    bool OpenLink(std::string_view target) override {
        opened.emplace_back(target);
        return result;
    }
    std::vector<std::string> opened;
    bool result = true;
};

}  // namespace vorenta::testing
