#include "ui/UpdateWindowAssembly.h"

#include <utility>

#include "serial/PortListText.h"

namespace vorenta {

namespace {

SessionLogSetup WithAdapters(SessionLogSetup logs, IPortTable& ports) {
    logs.describeAdapter = [&ports](const std::string& devicePath) {
        return AdapterLine(ports, devicePath);
    };
    return logs;
}

UpdateDlgPlatform ThroughRecorder(const UpdateDlgPlatform& services, SessionRecorder& recorder) {
    return {services.window,   services.clock, recorder.Device(), services.portTable,
            services.settings, services.peers, services.files};
}

}  // namespace

UpdateWindowAssembly::UpdateWindowAssembly(const UpdateDlgPlatform& services, SessionLogSetup logs,
                                           const std::int8_t& preferredPort,
                                           const std::string& applicationName)
    : recorder_(services.window, services.serialDevice, services.clock,
                WithAdapters(std::move(logs), services.portTable)),
      window_(ThroughRecorder(services, recorder_), preferredPort, applicationName) {
    window_.AddListener(recorder_);
}

DialogCallbacks UpdateWindowAssembly::Callbacks(std::function<void()> showAbout) {
    DialogCallbacks callbacks;
    callbacks.initDialog = [this] { return window_.OnInitDialog(); };
    callbacks.controlStyle = [this](int id) { return window_.GetControlStyle(id); };
    callbacks.showAbout = std::move(showAbout);
    callbacks.destroy = [this] { window_.OnDestroy(); };
    return callbacks;
}

}  // namespace vorenta
