#include <gtest/gtest.h>

#include <vector>

#include "SerialRig.h"

namespace vorenta::test {
namespace {

using Kind = MemorySerialDevice::EventKind;

TEST(CRS232Settings, OpenFillsTheLineRecordForTheSession) {
    SerialRig rig;
    rig.OpenSession();
    const Dcb& d = rig.port.dcb;
    EXPECT_EQ(d.DCBlength, 28U);
    EXPECT_EQ(d.BaudRate, 38400U);
    EXPECT_EQ(d.fBinary, 1);
    EXPECT_EQ(d.fParity, 1);
    EXPECT_EQ(d.fOutxCtsFlow + d.fOutxDsrFlow + d.fOutX + d.fInX, 0);
    EXPECT_EQ(d.fDtrControl, DTR_CONTROL_ENABLE);
    EXPECT_EQ(d.fRtsControl, RTS_CONTROL_ENABLE);
    EXPECT_EQ(d.fTXContinueOnXoff, 1);
    EXPECT_EQ(d.XonLim, 100);
    EXPECT_EQ(d.XoffLim, 100);
    EXPECT_EQ(d.ByteSize, 8);
    EXPECT_EQ(d.Parity, NOPARITY);
    EXPECT_EQ(d.StopBits, ONESTOPBIT);
    EXPECT_EQ(d.XonChar, 0x11);
    EXPECT_EQ(d.XoffChar, 0x13);
    EXPECT_EQ(static_cast<unsigned char>(d.ErrorChar), 0xFF);
    EXPECT_EQ(d.EofChar, 0x0D);
    EXPECT_EQ(static_cast<unsigned char>(d.EvtChar), 0xFF);
    EXPECT_EQ(rig.port.inQueueSize, 32768);
    EXPECT_EQ(rig.port.outQueueSize, 32768);
    // The device got exactly that record, and the modem lines are up.
    EXPECT_EQ(rig.device.settings, d);
    EXPECT_TRUE(rig.device.dtr);
    EXPECT_TRUE(rig.device.rts);
    EXPECT_EQ(rig.port.DevicePath(), "/dev/ttyFAKE3");
}

TEST(CRS232Settings, OpenAndSetLineSettingsUseDifferentTables) {
    struct Case {
        int speed;
        std::uint32_t byOpen;
        std::uint32_t byLineSettings;
    };
    const std::vector<Case> speeds{
        {300, 300, 9600},      {600, 600, 9600},         {14400, 14400, 9600}, {1200, 1200, 1200},
        {19200, 19200, 19200}, {115200, 115200, 115200}, {12345, 9600, 9600},  {-1, 9600, 9600}};
    SerialRig rig;
    for (const auto& c : speeds) {
        SCOPED_TRACE(c.speed);
        ASSERT_EQ(rig.port.Open(kComA, c.speed, 'N', 8, 1), 1);
        EXPECT_EQ(rig.port.dcb.BaudRate, c.byOpen);
        EXPECT_EQ(rig.device.settings.BaudRate, c.byOpen);
        rig.port.SetLineSettings(c.speed, 'N', '8');
        EXPECT_EQ(rig.port.dcb.BaudRate, c.byLineSettings);
        EXPECT_EQ(rig.device.settings.BaudRate, c.byLineSettings);
    }

    struct ParityCase {
        int letter;
        std::uint8_t byOpen;
        std::uint8_t byLineSettings;
    };
    const std::vector<ParityCase> parities{
        {'E', EVENPARITY, EVENPARITY}, {'O', ODDPARITY, ODDPARITY}, {'M', MARKPARITY, NOPARITY},
        {'S', SPACEPARITY, NOPARITY},  {'N', NOPARITY, NOPARITY},   {'e', NOPARITY, NOPARITY},
        {'o', NOPARITY, NOPARITY}};
    for (const auto& c : parities) {
        SCOPED_TRACE(c.letter);
        ASSERT_EQ(rig.port.Open(kComA, 9600, c.letter, 7, 2), 1);
        EXPECT_EQ(rig.port.dcb.Parity, c.byOpen);
        EXPECT_EQ(rig.port.dcb.ByteSize, 7);
        EXPECT_EQ(rig.port.dcb.StopBits, TWOSTOPBITS);
        rig.port.SetLineSettings(9600, c.letter, '8');
        EXPECT_EQ(rig.port.dcb.Parity, c.byLineSettings);
        // The data bits come as a digit character here; stop bits stay as they were.
        EXPECT_EQ(rig.port.dcb.ByteSize, 8);
        EXPECT_EQ(rig.port.dcb.StopBits, TWOSTOPBITS);
    }

    for (const int stop : {0, 1, 3, -2}) {
        ASSERT_EQ(rig.port.Open(kComA, 9600, 'N', 8, stop), 1);
        EXPECT_EQ(rig.port.dcb.StopBits, ONESTOPBIT) << stop;
    }
}

TEST(CRS232Settings, SetLineSettingsDiscardsReceivedBytes) {
    SerialRig rig;
    rig.OpenSession();
    rig.device.Feed("stale");
    EXPECT_EQ(rig.port.SetLineSettings(19200, 'N', '8'), 1);
    EXPECT_EQ(rig.device.Pending(), 0U);
}

TEST(CRS232Reading, ReadTakesNoMoreThanAskedAndNeverTouchesTheLineForZero) {
    SerialRig rig;
    rig.OpenSession();
    rig.device.Feed(Bytes("0123456789"));
    EXPECT_EQ(rig.port.BytesWaiting(), 10U);

    std::vector<std::uint8_t> buffer(16, 0);
    const int waitingCalls = rig.device.bytesWaitingCalls;
    EXPECT_EQ(rig.port.Read(buffer.data(), 0), 0U);
    EXPECT_EQ(rig.device.bytesWaitingCalls, waitingCalls);
    EXPECT_EQ(rig.device.readCalls, 0);

    EXPECT_EQ(rig.port.Read(buffer.data(), 4), 4U);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 4), "0123");
    EXPECT_EQ(rig.port.BytesWaiting(), 6U);
    EXPECT_EQ(rig.port.Read(buffer.data(), 16), 6U);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 6), "456789");

    // Nothing pending: returns at once without a read request.
    const int reads = rig.device.readCalls;
    EXPECT_EQ(rig.port.Read(buffer.data(), 16), 0U);
    EXPECT_EQ(rig.device.readCalls, reads);
}

TEST(CRS232Lifecycle, FailedOpenKeepsTheNumberButReportsNoPort) {
    SerialRig rig;
    EXPECT_EQ(rig.port.GetPortNumber(), -1);

    rig.device.busy = true;
    EXPECT_EQ(rig.port.Open(kComA, 38400, 'N', 8, 1), 0);
    EXPECT_EQ(rig.port.portNumber, kComA);
    EXPECT_EQ(rig.port.GetPortNumber(), -1);
    EXPECT_EQ(rig.port.isOpen, 0);

    // A COM number the table does not know never reaches the device.
    rig.device.busy = false;
    const auto attempts = rig.device.openAttempts.size();
    EXPECT_EQ(rig.port.Open(kComUnknown, 38400, 'N', 8, 1), 0);
    EXPECT_EQ(rig.device.openAttempts.size(), attempts);
    EXPECT_EQ(rig.port.portNumber, kComUnknown);
    EXPECT_EQ(rig.port.GetPortNumber(), -1);

    rig.OpenSession();
    EXPECT_EQ(rig.port.GetPortNumber(), kComA);
    rig.port.Close();
    EXPECT_EQ(rig.port.GetPortNumber(), -1);
    EXPECT_EQ(rig.port.portNumber, kComA);
}

TEST(CRS232Lifecycle, OpenWhileOpenReleasesTheFirstPortBeforeTryingTheNext) {
    SerialRig rig;
    rig.OpenSession();
    rig.device.events.clear();
    rig.device.failOpen = true;

    EXPECT_EQ(rig.port.Open(kComB, 38400, 'N', 8, 1), 0);
    ASSERT_GE(rig.device.events.size(), 4U);
    EXPECT_EQ(rig.device.events[0].kind, Kind::Dtr);
    EXPECT_FALSE(rig.device.events[0].raised);
    EXPECT_EQ(rig.device.events[1].kind, Kind::Rts);
    EXPECT_FALSE(rig.device.events[1].raised);
    EXPECT_EQ(rig.device.events[2].kind, Kind::Close);
    EXPECT_EQ(rig.device.events[3].kind, Kind::Open);
    EXPECT_FALSE(rig.device.events[3].ok);
    EXPECT_EQ(rig.device.openAttempts.back(), "/dev/ttyFAKE4");
    EXPECT_FALSE(rig.device.IsOpen());
    EXPECT_EQ(rig.port.GetPortNumber(), -1);
}

TEST(CRS232Lifecycle, ClosedPortDoesNothingAndWaitsForNothing) {
    SerialRig rig;
    rig.port.Close();
    const std::uint32_t before = rig.clock.Now();
    rig.port.PurgeAndWait(10);
    EXPECT_EQ(rig.clock.Now(), before);
    EXPECT_EQ(rig.port.WriteString("<W"), 0);
    EXPECT_EQ(rig.port.PurgeInput(), 0);
    EXPECT_EQ(rig.port.BytesWaiting(), 0U);
    EXPECT_TRUE(rig.device.events.empty());
}

TEST(CRS232Lifecycle, PurgeAndWaitEmptiesBothQueuesThenWaits) {
    SerialRig rig;
    rig.OpenSession();
    rig.device.Feed("junk");
    const std::uint32_t before = rig.clock.Now();
    rig.port.PurgeAndWait(10);
    EXPECT_GE(rig.clock.Now() - before, 10U);
    EXPECT_EQ(rig.device.outputPurges, 1);
    EXPECT_EQ(rig.device.inputPurges, 1);
    EXPECT_EQ(rig.device.Pending(), 0U);
}

TEST(CRS232Lifecycle, DestructorDropsTheLinesAndCloses) {
    FakeClock clock;
    MemorySerialDevice device{clock};
    StaticPortTable ports{{{kComA, "/dev/ttyFAKE3"}}};
    {
        CRS232 port{device, ports, clock};
        ASSERT_EQ(port.Open(kComA, 38400, 'N', 8, 1), 1);
    }
    EXPECT_FALSE(device.IsOpen());
    EXPECT_FALSE(device.dtr);
    EXPECT_FALSE(device.rts);
}

TEST(CRS232Lifecycle, VanishedDeviceReportsFailureAndStillCloses) {
    SerialRig rig;
    rig.OpenSession();
    rig.device.Feed("abc");
    rig.device.Vanish();

    EXPECT_EQ(rig.port.WriteString("<W"), 0);
    std::vector<std::uint8_t> buffer(8);
    EXPECT_EQ(rig.port.BytesWaiting(), 0U);
    EXPECT_EQ(rig.port.Read(buffer.data(), 8), 0U);
    rig.port.Close();
    EXPECT_FALSE(rig.device.IsOpen());
    EXPECT_EQ(rig.port.GetPortNumber(), -1);
    // And the line can be opened again afterwards.
    rig.OpenSession();
}

TEST(CRS232Writing, WriteStringSendsTheTextWithoutTerminatorInOneWrite) {
    SerialRig rig;
    rig.OpenSession();
    EXPECT_EQ(rig.port.WriteString("<<RS<#C14"), 1);
    ASSERT_EQ(rig.device.writes.size(), 1U);
    EXPECT_EQ(rig.device.writes[0].bytes, Bytes("<<RS<#C14"));
}

TEST(CRS232Writing, SendPacketTellsWhetherEveryFrameLeftAndStopsAtTheFirstFailure) {
    SerialRig rig;
    rig.OpenSession();
    const std::vector<std::uint8_t> data(200, 0x5A);
    EXPECT_EQ(rig.port.SendPacket(data.data(), static_cast<int>(data.size())), 1);
    EXPECT_EQ(rig.device.writes.size(), 3U);
    EXPECT_EQ(rig.port.SendPacket(data.data(), 0), 1);

    // The line takes the first frame, then fails: the rest is not tried.
    int frames = 0;
    rig.device.refuseWrite = [&frames](const std::vector<std::uint8_t>&) { return ++frames > 1; };
    EXPECT_EQ(rig.port.SendPacket(data.data(), static_cast<int>(data.size())), 0);
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(rig.device.writes.size(), 4U);

    rig.port.Close();
    EXPECT_EQ(rig.port.SendPacket(data.data(), 1), 0);
}

TEST(CRS232Reading, WaitForInputSleepsUntilBytesOrTheTimeAndNeverSpins) {
    SerialRig rig(100);
    rig.OpenSession();
    rig.device.Feed("!");
    const std::uint32_t before = rig.clock.Now();
    rig.port.WaitForInput(3000);
    EXPECT_LE(rig.clock.Now() - before, 1U);  // a byte is waiting: back at once

    // A line that cannot wait for bytes itself (here: gone) is slept on in short slices.
    rig.device.Vanish();
    rig.clock.sleeps.clear();
    rig.port.WaitForInput(3000);
    ASSERT_EQ(rig.clock.sleeps.size(), 1U);
    EXPECT_GT(rig.clock.sleeps[0], 0U);
    EXPECT_LT(rig.clock.sleeps[0], 100U);

    rig.port.Close();
    rig.clock.sleeps.clear();
    rig.port.WaitForInput(2);
    EXPECT_EQ(rig.clock.sleeps, (std::vector<std::uint32_t>{2}));
    rig.port.WaitForInput(0);
    EXPECT_EQ(rig.clock.sleeps.size(), 1U);
}

}  // namespace
}  // namespace vorenta::test
