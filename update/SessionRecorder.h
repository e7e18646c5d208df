#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/FileAccess.h"
#include "platform/LogFolder.h"
#include "platform/PortTable.h"
#include "platform/SerialDevice.h"
#include "platform/TickSource.h"
#include "platform/WindowServices.h"
#include "serial/WireLogDevice.h"
#include "update/SessionLog.h"
#include "update/SessionLogStore.h"

namespace vorenta {

class CPLSM_UpdateDlg;

// What a program tells the recorder about itself and its platform.
struct SessionLogSetup {
    std::string program;
    std::string version;
    std::string platform;
    ILogFolder* folder = nullptr;  // null: no session logs at all
    std::function<LocalTime()> localTimeNow;
    // What the system knows of the adapter behind a device path (maker,
    // product, serial number...); empty or unset when nothing.
    std::function<std::string(const std::string& devicePath)> describeAdapter;
};

// Writes one session log per update session of one update window. It stands
// between the window logic and its host (operator lines, and "Begin Update"
// to the end of the session) and between the port object and the serial
// device (the wire trace). A log that cannot be written never stops the
// update; the program's log line says so once.
//
//   SessionRecorder recorder(host, device, clock, files, setup);
//   UpdateDlgPlatform platform{recorder.Window(), clock, recorder.Device(), ...};
//   CPLSM_UpdateDlg window(platform, ...);
//   host.Attach(recorder.Watch(window, ports));
class SessionRecorder {
  public:
    SessionRecorder(IWindowServices& window, ISerialDevice& device, ITickSource& clock,
                    IFileSystem& files, SessionLogSetup setup);
    // A session still open (the program ends during it) is logged as cancelled.
    ~SessionRecorder();
    SessionRecorder(const SessionRecorder&) = delete;
    SessionRecorder& operator=(const SessionRecorder&) = delete;

    // What the window logic must use instead of the host and the device.
    IWindowServices& Window();
    ISerialDevice& Device() { return wire_; }
    // What the host must deliver the window's events to.
    IWindowHandler& Watch(CPLSM_UpdateDlg& dialog, IPortTable& ports);

    // A line the program showed the operator itself.
    void Note(std::string_view line);
    bool SessionOpen() const { return sessionOpen_; }
    // The log of the current or last session; empty when none was written.
    const std::string& LastLogPath() const { return lastLogPath_; }
    // Every line of that log reached its file (a full disk leaves it short).
    bool LastLogComplete() const { return lastLogComplete_; }

  private:
    class OperatorLines;
    class Boundaries;
    class Wire : public IWireTrace {
      public:
        explicit Wire(SessionRecorder& owner) : owner_(owner) {}
        void Trace(std::string_view what, std::string_view detail) override;

      private:
        SessionRecorder& owner_;
    };

    void BeginSession();
    void EndSessionIfOver();
    void EndSession(SessionResult result);
    SessionLogHeader Header(int comNumber, const std::string& devicePath) const;
    void SayOnce(const std::string& reason);
    void ShowLine(int id, std::string_view text);
    void ShowMessageBox(std::string_view text, std::string_view caption);

    IWindowServices& hostWindow_;
    ITickSource& clock_;
    IFileSystem& files_;
    SessionLogSetup setup_;
    std::unique_ptr<SessionLogStore> store_;
    Wire trace_{*this};
    WireLogDevice wire_;
    std::unique_ptr<OperatorLines> window_;
    std::unique_ptr<Boundaries> boundaries_;
    CPLSM_UpdateDlg* dialog_ = nullptr;
    IPortTable* ports_ = nullptr;

    bool sessionOpen_ = false;
    bool sawSuccess_ = false;
    bool sawFailure_ = false;
    std::unique_ptr<SessionLog> log_;
    std::string lastLogPath_;
    bool lastLogComplete_ = true;
    bool said_ = false;
};

}  // namespace vorenta
