#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/LogFolder.h"
#include "platform/SerialDevice.h"
#include "platform/TickSource.h"
#include "platform/WindowServices.h"
#include "serial/WireLogDevice.h"
#include "update/SessionEvents.h"
#include "update/SessionLog.h"
#include "update/SessionLogStore.h"

namespace vorenta {

// What a program tells the recorder about itself and its platform.
struct SessionLogSetup {
    std::string program;
    std::string version;
    std::string platform;
    ILogFolder* folder = nullptr;  // null: no session logs at all
    std::function<LocalTime()> localTimeNow;
    // What the system knows of the adapter behind a device path (maker,
    // product, serial number...), on one printable line; empty or unset when
    // nothing.
    std::function<std::string(const std::string& devicePath)> describeAdapter;
    // Where "No session log is written: <reason>" goes instead of the
    // operator's log, for a program that must say it even when told to be
    // quiet; unset: the operator's log.
    std::function<void(const std::string& text)> sayNoLog;
};

// Writes one session log per update session of one update window, from the
// session's events and from the wire between the port object and the serial
// device. A log that cannot be written never stops the update; the operator's
// log says so once.
//
// The window's assembly (ui/UpdateWindowAssembly.h) puts it between the
// window's port object and the serial device and adds it to the window's
// listeners.
class SessionRecorder : public ISessionEvents {
  public:
    // `operatorLog` hears why no log is written; nothing else of it is used.
    SessionRecorder(IWindowServices& operatorLog, ISerialDevice& device, ITickSource& clock,
                    SessionLogSetup setup);
    // A session still open (the program ends during it) is logged as cancelled,
    // or as failed when a failure was reported.
    ~SessionRecorder() override;
    SessionRecorder(const SessionRecorder&) = delete;
    SessionRecorder& operator=(const SessionRecorder&) = delete;

    // What the port object must talk to instead of the device.
    ISerialDevice& Device() { return wire_; }

    // A line the program showed the operator itself.
    void Note(std::string_view line);
    bool SessionOpen() const { return sessionOpen_; }
    // The log of the current or last session; empty when none was written.
    const std::string& LastLogPath() const { return lastLogPath_; }
    // Every line of that log reached its file (a full disk leaves it short).
    bool LastLogComplete() const { return lastLogComplete_; }

    // ISessionEvents.
    void OnSessionStarted(const SessionStart& start) override;
    void OnTransferBegun(const SentFirmware& sent) override;
    void OnOutcome(const SessionOutcome& outcome) override;
    void OnSessionEnded(SessionResult result) override;
    void OnLineShown(std::string_view text) override;
    void OnNote(std::string_view line) override;

  private:
    class Wire : public IWireTrace {
      public:
        explicit Wire(SessionRecorder& owner) : owner_(owner) {}
        void Trace(std::string_view what, std::string_view detail) override;

      private:
        SessionRecorder& owner_;
    };

    void EndSession(SessionResult result);
    SessionLogHeader Header(const SessionStart& start) const;
    void SayOnce(const std::string& reason);

    IWindowServices& operatorLog_;
    ITickSource& clock_;
    SessionLogSetup setup_;
    std::unique_ptr<SessionLogStore> store_;
    Wire trace_{*this};
    WireLogDevice wire_;

    bool sessionOpen_ = false;
    bool sawFailure_ = false;
    std::unique_ptr<SessionLog> log_;
    std::string lastLogPath_;
    bool lastLogComplete_ = true;
    bool said_ = false;
    std::optional<FirmwareFingerprint> headerFirmware_;  // as the header names it
};

}  // namespace vorenta
