#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/NativePlatform.h"
#include "tests/support/TempFolder.h"
#include "tests/update/UpdateRig.h"
#include "ui/UpdateWindowAssembly.h"

namespace vorenta::test {
namespace {

// The rig's ports, with what the system knows of the adapter behind them.
class DescribedPorts : public IPortTable {
  public:
    explicit DescribedPorts(IPortTable& inner) : inner_(inner) {}
    bool ListPorts(std::vector<InstalledPort>& ports) override { return inner_.ListPorts(ports); }
    std::string DevicePathFor(int comNumber) override { return inner_.DevicePathFor(comNumber); }
    std::string DescribeDevice(const std::string&) override {
        return "Maker \x1b[1mBase\nserial 7\n";
    }

  private:
    IPortTable& inner_;
};

TEST(UpdateWindowAssembly, EverySessionOfTheAssembledWindowIsLoggedWithItsAdapter) {
    UpdateRig rig;
    DescribedPorts ports(rig.ports);
    const TempFolder logs("vorenta-assembly-");
    NativeLogFolder folder(logs.path().string());
    const std::int8_t preferredPort = -1;
    UpdateWindowAssembly assembly(
        {rig.host, rig.clock, rig.device, ports, rig.settings, rig.peers, rig.files},
        {"vorenta-test", "1.0", "TestOS", &folder, [] { return LocalTime{2026, 1, 2, 3, 4, 5}; },
         nullptr, nullptr},
        preferredPort, "vorenta-test");
    CPLSM_UpdateDlg& window = assembly.Window();
    window.firmware.programDir = rig.dlg.firmware.programDir;
    window.pageImage.tempDir = rig.dlg.pageImage.tempDir;
    rig.host.Attach(&window);
    bool aboutShown = false;
    const DialogCallbacks callbacks = assembly.Callbacks([&aboutShown] { aboutShown = true; });

    ASSERT_TRUE(callbacks.initDialog());
    rig.clock.SetStep(1);
    EXPECT_TRUE(callbacks.controlStyle(ids::kLabelNotice).emphasisFont);
    callbacks.showAbout();
    EXPECT_TRUE(aboutShown);
    ASSERT_TRUE(rig.host.Click(ids::kBeginUpdate));
    for (int tick = 0; tick < 20 && window.session.updateActive == 1; ++tick) {
        rig.clock.Advance(500);
        rig.host.TimerTick();
    }
    ASSERT_EQ(rig.LastBox()->caption, "Firmware Update Complete");
    EXPECT_TRUE(rig.module.endMarkerSeen);

    // The session went through the recorder's end of the line, and its log
    // names the adapter on one printable line.
    ASSERT_FALSE(assembly.Recorder().LastLogPath().empty());
    const std::string log = ReadFile(assembly.Recorder().LastLogPath());
    EXPECT_NE(log.find("adapter:          Maker ?[1mBase; serial 7\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" ms TX    3C 57\n"), std::string::npos);
    EXPECT_TRUE(log.ends_with("\noutcome:          success\n"));

    callbacks.destroy();
    EXPECT_TRUE(rig.host.timers.empty());
}

}  // namespace
}  // namespace vorenta::test
