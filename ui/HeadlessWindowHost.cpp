#include "ui/HeadlessWindowHost.h"

namespace vorenta {

bool HeadlessWindowHost::Click(int id) {
    const Control& control = ControlAt(id);
    if (!control.enabled || !control.visible || handler_ == nullptr) {
        return false;
    }
    handler_->OnCommand(id);
    RunPostedMessages();
    return true;
}

bool HeadlessWindowHost::SysCommand(unsigned commandId) {
    if (!SystemMenuItemEnabled(commandId) || handler_ == nullptr) {
        return false;
    }
    handler_->OnSysCommand(commandId);
    RunPostedMessages();
    return true;
}

void HeadlessWindowHost::RunPostedMessages() {
    while (!queue_.empty()) {
        PumpOneMessage();
    }
}

void HeadlessWindowHost::TimerTick() {
    RunPostedMessages();
    if (handler_ == nullptr) {
        return;
    }
    // Copy: a handler may start or stop timers.
    const auto running = timers;
    for (const auto& [id, period] : running) {
        (void)period;
        handler_->OnTimer(id);
        RunPostedMessages();
    }
}

const HeadlessWindowHost::Control& HeadlessWindowHost::ControlAt(int id) const {
    static const Control kUnknown{};
    const auto it = controls_.find(id);
    return it == controls_.end() ? kUnknown : it->second;
}

bool HeadlessWindowHost::SystemMenuItemEnabled(unsigned commandId) const {
    for (const MenuItem& item : systemMenu) {
        if (item.commandId == commandId) {
            return item.enabled;
        }
    }
    const auto it = systemCommandsEnabled.find(commandId);
    return it != systemCommandsEnabled.end() && it->second;
}

void HeadlessWindowHost::SetDlgItemText(int id, std::string_view text) {
    At(id).text = text;
}

std::string HeadlessWindowHost::GetDlgItemText(int id) const {
    return ControlAt(id).text;
}

void HeadlessWindowHost::EnableDlgItem(int id, bool enable) {
    At(id).enabled = enable;
}

bool HeadlessWindowHost::IsDlgItemEnabled(int id) const {
    return ControlAt(id).enabled;
}

void HeadlessWindowHost::ShowDlgItem(int id, bool show) {
    At(id).visible = show;
}

void HeadlessWindowHost::SetDlgItemTooltip(int id, std::string_view text) {
    At(id).tooltip = text;
}

void HeadlessWindowHost::CheckRadioButton(int firstId, int lastId, int checkId) {
    for (int id = firstId; id <= lastId; ++id) {
        At(id).checked = (id == checkId);
    }
}

int HeadlessWindowHost::GetCheckedRadioButton(int firstId, int lastId) const {
    for (int id = firstId; id <= lastId; ++id) {
        if (ControlAt(id).checked) {
            return id;
        }
    }
    return 0;
}

void HeadlessWindowHost::MessageBox(std::string_view text, std::string_view caption,
                                    MessageIcon icon) {
    messageBoxes.push_back({std::string(text), std::string(caption), icon});
    if (onMessageBox) {
        onMessageBox(messageBoxes.back());
    }
}

void HeadlessWindowHost::PumpOneMessage() {
    if (queue_.empty()) {
        return;
    }
    const unsigned message = queue_.front();
    queue_.pop_front();
    Dispatch(message);
}

void HeadlessWindowHost::Dispatch(unsigned message) {
    if (message == wm::Paint) {
        ++paintsDispatched;
        return;
    }
    if (handler_ != nullptr) {
        handler_->OnPostedMessage(message);
    }
}

unsigned HeadlessWindowHost::SetTimer(unsigned timerId, unsigned periodMs) {
    timers[timerId] = periodMs;
    return timerId;
}

void HeadlessWindowHost::AppendSystemMenuItem(unsigned commandId, std::string_view text) {
    systemMenu.push_back({commandId, std::string(text), true});
}

void HeadlessWindowHost::EnableSystemMenuItem(unsigned commandId, bool enable) {
    for (MenuItem& item : systemMenu) {
        if (item.commandId == commandId) {
            item.enabled = enable;
            return;
        }
    }
    systemCommandsEnabled[commandId] = enable;
}

void HeadlessWindowHost::MoveWindow(int left, int top) {
    windowRect.left = left;
    windowRect.top = top;
}

}  // namespace vorenta
