#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/FirmwareFingerprint.h"
#include "platform/WindowServices.h"

namespace vorenta {

enum class SessionResult { Success, Failure, Cancelled };

// What made a session end as it did.
enum class SessionEnding {
    Updated,          // the firmware went over whole
    TransferFailed,   // the transfer reported a failure
    PortUnavailable,  // the port could not be opened
    PortLost,         // the port's device went away while the module was awaited
    Refused,          // the firmware files or the page image did not allow it to go on
    Cancelled,        // the operator (or the program's end) cancelled it
};

// How an update ends, or why none can begin, as the operator is told: the
// message with its caption and icon (no text: nothing to show).
struct SessionOutcome {
    SessionResult result = SessionResult::Cancelled;
    SessionEnding ending = SessionEnding::Cancelled;
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;

    // The message's first paragraph without its trailing blanks.
    std::string Headline() const;
};

// What a session starts with, before its port is opened.
struct SessionStart {
    int comNumber = 0;
    std::string devicePath;  // empty: the port table knows no device for it
    std::string firmwarePath;
    std::string firmwareVersion;
    std::optional<FirmwareFingerprint> firmware;  // nothing: the file cannot be read
};

// The firmware the transfer sends, as copied into the page image: a file
// replaced while the module was polled is sent (and named here) as it is now.
struct SentFirmware {
    std::string firmwarePath;
    std::string firmwareVersion;
    FirmwareFingerprint firmware;
};

// What an update session reports while it runs, in the order it happens. The
// window turns these into its controls and message boxes; the consoles, the
// session log and the production report take the same events. Every method
// does nothing unless a listener wants it.
class ISessionEvents {
  public:
    virtual ~ISessionEvents() = default;

    // "Begin Update" with a port checked: the session begins.
    virtual void OnSessionStarted(const SessionStart& /*start*/) {}
    // The base station is prepared; the module is polled on the port.
    virtual void OnArmed(int /*comNumber*/, const std::string& /*devicePath*/) {}
    // The module answered the poll and the transfer begins with this firmware.
    virtual void OnTransferBegun(const SentFirmware& /*sent*/) {}
    // The boot loader identified itself as the one expected.
    virtual void OnModuleAnswered(std::string_view /*identification*/) {}
    // Page `page` (from 1) of `pageCount` goes out for the first time.
    virtual void OnPageSending(std::uint64_t /*page*/, std::uint64_t /*pageCount*/) {}
    // The boot loader asked for page `page` (from 1) again.
    virtual void OnPageResent(std::uint64_t /*page*/) {}
    // Bytes already waiting before page `page` (from 1) was sent, dropped.
    virtual void OnInputDiscarded(std::uint64_t /*page*/, std::span<const std::uint8_t> /*bytes*/) {
    }
    // The armed session's port reported that its device is gone.
    virtual void OnLineLost(int /*comNumber*/) {}
    // The operator is told how an update ends, or why none can begin: once
    // for each message, or once without one for a plain cancel. The window
    // shows the message after every listener has heard of it.
    virtual void OnOutcome(const SessionOutcome& /*outcome*/) {}
    // The session is over and the window idle again: success when the update
    // was reported done and nothing failed, failure when anything failed.
    virtual void OnSessionEnded(SessionResult /*result*/) {}

    // What the window showed the operator while a session ran, for the
    // session's log: a line of the window, and a line of the program's log.
    virtual void OnLineShown(std::string_view /*text*/) {}
    virtual void OnNote(std::string_view /*line*/) {}
};

// Passes every event on to each listener, in the order they were added.
class SessionEventFanOut : public ISessionEvents {
  public:
    void Add(ISessionEvents& listener) { listeners_.push_back(&listener); }

    void OnSessionStarted(const SessionStart& start) override {
        Each(&ISessionEvents::OnSessionStarted, start);
    }
    void OnArmed(int comNumber, const std::string& devicePath) override {
        Each(&ISessionEvents::OnArmed, comNumber, devicePath);
    }
    void OnTransferBegun(const SentFirmware& sent) override {
        Each(&ISessionEvents::OnTransferBegun, sent);
    }
    void OnModuleAnswered(std::string_view identification) override {
        Each(&ISessionEvents::OnModuleAnswered, identification);
    }
    void OnPageSending(std::uint64_t page, std::uint64_t pageCount) override {
        Each(&ISessionEvents::OnPageSending, page, pageCount);
    }
    void OnPageResent(std::uint64_t page) override { Each(&ISessionEvents::OnPageResent, page); }
    void OnInputDiscarded(std::uint64_t page, std::span<const std::uint8_t> bytes) override {
        Each(&ISessionEvents::OnInputDiscarded, page, bytes);
    }
    void OnLineLost(int comNumber) override { Each(&ISessionEvents::OnLineLost, comNumber); }
    void OnOutcome(const SessionOutcome& outcome) override {
        Each(&ISessionEvents::OnOutcome, outcome);
    }
    void OnSessionEnded(SessionResult result) override {
        Each(&ISessionEvents::OnSessionEnded, result);
    }
    void OnLineShown(std::string_view text) override { Each(&ISessionEvents::OnLineShown, text); }
    void OnNote(std::string_view line) override { Each(&ISessionEvents::OnNote, line); }

  private:
    template <typename... Params, typename... Args>
    void Each(void (ISessionEvents::*event)(Params...), const Args&... args) {
        for (ISessionEvents* listener : listeners_) {
            (listener->*event)(args...);
        }
    }

    std::vector<ISessionEvents*> listeners_;
};

}  // namespace vorenta
