// The Win32 COM port through a recording double of the system's calls, for
// what Wine cannot show (it lets a second program open a port and has no
// modem lines on a pty), and against the real calls where Wine can.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fake/FakeClock.h"
#include "platform/win32/CommApi.h"
#include "platform/win32/Win32PortTable.h"
#include "platform/win32/Win32SerialDevice.h"
#include "serial/CRS232.h"
#include "update/BasePreparation.h"

namespace vorenta {
namespace {

// A COM port driver as the device sees it: every call is written down, and
// the test decides what each one answers.
struct DriverDouble {
    HANDLE portHandle = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x1234));
    bool openSucceeds = true;
    DWORD openError = ERROR_SUCCESS;
    bool hasLineSettings = true;
    bool writeSucceeds = true;
    std::vector<std::uint8_t> inQueue;

    std::vector<std::string> calls;
    std::string openedName;
    DWORD openAccess = 0;
    DWORD openShare = 0xFFFFFFFF;
    DWORD openDisposition = 0;
    DWORD openFlags = 0xFFFFFFFF;
    DWORD inQueueSize = 0;
    DWORD outQueueSize = 0;
    COMMTIMEOUTS timeouts{};
    DWORD eventMask = 0;
    DCB lineSettings{};
    std::vector<std::uint8_t> written;
    DWORD lastError = ERROR_SUCCESS;

    // Time in the driver, moved on only by reads that wait; bytes that arrive
    // once it reaches `arrivalMs`.
    std::uint64_t nowMs = 1000;
    std::uint64_t arrivalMs = UINT64_MAX;
    std::vector<std::uint8_t> arriving;
    bool stateReadable = true;
    bool readSucceeds = true;
    // Every ReadFile: how many bytes were asked, how many the driver held, and
    // whether the time-outs in force let it wait for more.
    struct ReadCall {
        DWORD asked;
        std::size_t queued;
        bool mayWait;
    };
    std::vector<ReadCall> reads;

    // timeBeginPeriod and timeEndPeriod, with the periods asked.
    std::vector<UINT> periodsBegun;
    std::vector<UINT> periodsEnded;
    MMRESULT beginPeriodResult = TIMERR_NOERROR;

    void Arrive() {
        if (nowMs >= arrivalMs) {
            inQueue.insert(inQueue.end(), arriving.begin(), arriving.end());
            arriving.clear();
            arrivalMs = UINT64_MAX;
        }
    }
    bool WaitingTimeouts() const {
        return !(timeouts.ReadIntervalTimeout == MAXDWORD &&
                 timeouts.ReadTotalTimeoutMultiplier == 0 &&
                 timeouts.ReadTotalTimeoutConstant == 0);
    }

    CommApi Api() {
        CommApi api;
        api.createFile = [this](LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES,
                                DWORD disposition, DWORD flags, HANDLE) {
            calls.push_back("CreateFileA");
            openedName = name;
            openAccess = access;
            openShare = share;
            openDisposition = disposition;
            openFlags = flags;
            lastError = openError;
            return openSucceeds ? portHandle : INVALID_HANDLE_VALUE;
        };
        api.closeHandle = [this](HANDLE) {
            calls.push_back("CloseHandle");
            return TRUE;
        };
        api.setupComm = [this](HANDLE, DWORD in, DWORD out) {
            calls.push_back("SetupComm");
            inQueueSize = in;
            outQueueSize = out;
            return TRUE;
        };
        api.getCommState = [this](HANDLE, LPDCB) {
            calls.push_back("GetCommState");
            lastError = hasLineSettings ? ERROR_SUCCESS : ERROR_INVALID_FUNCTION;
            return hasLineSettings ? TRUE : FALSE;
        };
        api.setCommState = [this](HANDLE, LPDCB dcb) {
            calls.push_back("SetCommState");
            lineSettings = *dcb;
            return TRUE;
        };
        api.setCommTimeouts = [this](HANDLE, LPCOMMTIMEOUTS t) {
            calls.push_back("SetCommTimeouts");
            timeouts = *t;
            return TRUE;
        };
        api.setCommMask = [this](HANDLE, DWORD mask) {
            calls.push_back("SetCommMask");
            eventMask = mask;
            return TRUE;
        };
        api.escapeCommFunction = [this](HANDLE, DWORD function) {
            calls.push_back(function == SETDTR   ? "SETDTR"
                            : function == CLRDTR ? "CLRDTR"
                            : function == SETRTS ? "SETRTS"
                            : function == CLRRTS ? "CLRRTS"
                                                 : "Escape?");
            return TRUE;
        };
        api.clearCommError = [this](HANDLE, LPDWORD errors, LPCOMSTAT status) {
            if (!stateReadable) {
                lastError = ERROR_BAD_COMMAND;
                return FALSE;
            }
            Arrive();
            *errors = CE_FRAME;  // a line error, which is cleared and not reported
            *status = COMSTAT{};
            status->cbInQue = static_cast<DWORD>(inQueue.size());
            return TRUE;
        };
        api.purgeComm = [this](HANDLE, DWORD flags) {
            calls.push_back(flags == PURGE_RXCLEAR ? "PurgeRx" : "PurgeTx");
            return TRUE;
        };
        api.writeFile = [this](HANDLE, LPCVOID data, DWORD count, LPDWORD done, LPOVERLAPPED) {
            if (!writeSucceeds) {
                lastError = ERROR_GEN_FAILURE;
                return FALSE;
            }
            // The driver takes at most 5 bytes per call, so the device must go on.
            const DWORD taken = count < 5 ? count : 5;
            const auto* bytes = static_cast<const std::uint8_t*>(data);
            written.insert(written.end(), bytes, bytes + taken);
            *done = taken;
            return TRUE;
        };
        api.readFile = [this](HANDLE, LPVOID buffer, DWORD count, LPDWORD done, LPOVERLAPPED) {
            reads.push_back(ReadCall{count, inQueue.size(), WaitingTimeouts()});
            if (!readSucceeds) {
                lastError = ERROR_GEN_FAILURE;
                return FALSE;
            }
            // Waiting time-outs: an empty queue holds the read until a byte
            // arrives or the total time-out has passed.
            if (inQueue.empty() && WaitingTimeouts()) {
                const std::uint64_t limit = nowMs + timeouts.ReadTotalTimeoutConstant;
                nowMs = arrivalMs <= limit ? std::max(nowMs, arrivalMs) : limit;
                Arrive();
            }
            const DWORD n = count < inQueue.size() ? count : static_cast<DWORD>(inQueue.size());
            std::copy(inQueue.begin(), inQueue.begin() + n, static_cast<std::uint8_t*>(buffer));
            inQueue.erase(inQueue.begin(), inQueue.begin() + n);
            *done = n;
            return TRUE;
        };
        api.getLastError = [this] { return lastError; };
        api.timeBeginPeriod = [this](UINT period) {
            periodsBegun.push_back(period);
            return beginPeriodResult;
        };
        api.timeEndPeriod = [this](UINT period) {
            periodsEnded.push_back(period);
            return static_cast<MMRESULT>(TIMERR_NOERROR);
        };
        return api;
    }
};

struct PortRig {
    DriverDouble driver;
    CommApi api = driver.Api();
    Win32SerialDevice device{api};
    Win32PortTable ports;
    FakeClock clock;
    CRS232 port{device, ports, clock};

    int OpenSession(int com = 7) {
        return port.Open(com, kSessionBaudRate, kSessionParity, kSessionDataBits, kSessionStopBits);
    }
};

TEST(Win32SerialDeviceTest, OpensThePortExclusivelyWithTheSessionSettings) {
    PortRig rig;
    ASSERT_EQ(rig.OpenSession(12), 1);

    EXPECT_EQ(rig.driver.openedName, "\\\\.\\COM12");
    EXPECT_EQ(rig.driver.openAccess, static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE));
    EXPECT_EQ(rig.driver.openShare, 0U);
    EXPECT_EQ(rig.driver.openDisposition, static_cast<DWORD>(OPEN_EXISTING));
    EXPECT_EQ(rig.driver.openFlags, 0U);  // synchronous, not overlapped
    EXPECT_EQ(rig.driver.inQueueSize, 32768U);
    EXPECT_EQ(rig.driver.outQueueSize, 32768U);
    EXPECT_EQ(rig.driver.eventMask, 5U);

    // Reads return at once; writes have no time-out.
    EXPECT_EQ(rig.driver.timeouts.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(rig.driver.timeouts.ReadTotalTimeoutMultiplier, 0U);
    EXPECT_EQ(rig.driver.timeouts.ReadTotalTimeoutConstant, 0U);
    EXPECT_EQ(rig.driver.timeouts.WriteTotalTimeoutMultiplier, 0U);
    EXPECT_EQ(rig.driver.timeouts.WriteTotalTimeoutConstant, 0U);

    const DCB& dcb = rig.driver.lineSettings;
    EXPECT_EQ(dcb.DCBlength, 28U);
    EXPECT_EQ(dcb.BaudRate, 38400U);
    EXPECT_EQ(dcb.fBinary, 1U);
    EXPECT_EQ(dcb.fParity, 1U);
    EXPECT_EQ(dcb.fOutxCtsFlow, 0U);
    EXPECT_EQ(dcb.fOutxDsrFlow, 0U);
    EXPECT_EQ(dcb.fDtrControl, 1U);  // DTR_CONTROL_ENABLE
    EXPECT_EQ(dcb.fTXContinueOnXoff, 1U);
    EXPECT_EQ(dcb.fOutX, 0U);
    EXPECT_EQ(dcb.fInX, 0U);
    EXPECT_EQ(dcb.fRtsControl, 1U);  // RTS_CONTROL_ENABLE
    EXPECT_EQ(dcb.XonLim, 100);
    EXPECT_EQ(dcb.XoffLim, 100);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, 0);    // NOPARITY
    EXPECT_EQ(dcb.StopBits, 0);  // ONESTOPBIT
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XoffChar, 0x13);
    EXPECT_EQ(static_cast<unsigned char>(dcb.ErrorChar), 0xFF);
    EXPECT_EQ(dcb.EofChar, 0x0D);
    EXPECT_EQ(static_cast<unsigned char>(dcb.EvtChar), 0xFF);
}

TEST(Win32SerialDeviceTest, SpeedChangesReachTheDriverAndEmptyTheInput) {
    PortRig rig;
    ASSERT_EQ(rig.OpenSession(), 1);
    rig.driver.calls.clear();
    rig.port.SetLineSettings(115200, 'E', '7');
    EXPECT_EQ(rig.driver.lineSettings.BaudRate, 115200U);
    EXPECT_EQ(rig.driver.lineSettings.Parity, 2);  // EVENPARITY
    EXPECT_EQ(rig.driver.lineSettings.ByteSize, 7);
    EXPECT_EQ(rig.driver.calls, (std::vector<std::string>{"SetCommState", "PurgeRx"}));
}

TEST(Win32SerialDeviceTest, PortHeldByAnotherProgramIsRefusedAndNamed) {
    PortRig rig;
    rig.driver.openSucceeds = false;
    rig.driver.openError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(rig.OpenSession(5), 0);
    EXPECT_FALSE(rig.device.IsOpen());
    EXPECT_EQ(rig.port.GetPortNumber(), -1);
    EXPECT_EQ(rig.port.portNumber, 5);
    EXPECT_NE(rig.device.LastError().find("in use by another program"), std::string::npos)
        << rig.device.LastError();
    // Nothing was set up on a port that is not ours, and nothing is closed.
    EXPECT_EQ(rig.driver.calls, std::vector<std::string>{"CreateFileA"});
}

TEST(Win32SerialDeviceTest, MissingPortAndNonPortsAreRefused) {
    PortRig rig;
    rig.driver.openSucceeds = false;
    rig.driver.openError = ERROR_FILE_NOT_FOUND;
    EXPECT_EQ(rig.OpenSession(), 0);
    EXPECT_NE(rig.device.LastError().find("no such port"), std::string::npos);

    // A name that opens but has no line settings is closed again at once.
    rig.driver.openSucceeds = true;
    rig.driver.hasLineSettings = false;
    rig.driver.calls.clear();
    EXPECT_EQ(rig.OpenSession(), 0);
    EXPECT_FALSE(rig.device.IsOpen());
    EXPECT_EQ(rig.driver.calls,
              (std::vector<std::string>{"CreateFileA", "GetCommState", "CloseHandle"}));
    EXPECT_NE(rig.device.LastError().find("not a serial port"), std::string::npos);
}

TEST(Win32SerialDeviceTest, ModemLinesRaisedAtOpenAndDroppedBeforeTheHandleCloses) {
    PortRig rig;
    ASSERT_EQ(rig.OpenSession(), 1);
    EXPECT_EQ(std::count(rig.driver.calls.begin(), rig.driver.calls.end(), "SETDTR"), 1);
    EXPECT_EQ(std::count(rig.driver.calls.begin(), rig.driver.calls.end(), "SETRTS"), 1);
    rig.driver.calls.clear();

    // Opening again closes the first port (lines dropped) before the new open.
    ASSERT_EQ(rig.OpenSession(8), 1);
    ASSERT_GE(rig.driver.calls.size(), 4U);
    EXPECT_EQ(std::vector<std::string>(rig.driver.calls.begin(), rig.driver.calls.begin() + 4),
              (std::vector<std::string>{"CLRDTR", "CLRRTS", "CloseHandle", "CreateFileA"}));

    rig.driver.calls.clear();
    rig.port.Close();
    EXPECT_EQ(rig.driver.calls, (std::vector<std::string>{"CLRDTR", "CLRRTS", "CloseHandle"}));
    rig.driver.calls.clear();
    rig.port.Close();
    EXPECT_TRUE(rig.driver.calls.empty());
}

TEST(Win32SerialDeviceTest, ReadsTakeOnlyWhatIsWaitingAndNeverWait) {
    PortRig rig;
    ASSERT_EQ(rig.OpenSession(), 1);
    std::uint8_t buffer[16] = {};

    EXPECT_EQ(rig.port.Read(buffer, 4), 0U);
    EXPECT_TRUE(rig.driver.reads.empty());  // nothing waiting: no ReadFile at all

    rig.driver.inQueue = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(rig.port.BytesWaiting(), 10);
    EXPECT_EQ(rig.port.Read(buffer, 4), 4U);
    ASSERT_EQ(rig.driver.reads.size(), 1U);
    EXPECT_EQ(rig.driver.reads.back().asked, 4U);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[3], 4);
    EXPECT_EQ(rig.port.BytesWaiting(), 6);
    EXPECT_EQ(rig.port.Read(buffer, 16), 6U);
    EXPECT_EQ(rig.driver.reads.back().asked, 6U);
    for (const auto& read : rig.driver.reads) {
        EXPECT_FALSE(read.mayWait);
        EXPECT_LE(read.asked, read.queued);
    }
}

TEST(Win32SerialDeviceTest, WritesGoOnUntilTheDriverHasEverythingAndReportAVanishedPort) {
    PortRig rig;
    ASSERT_EQ(rig.OpenSession(), 1);
    const std::uint8_t poll = 0xC0;
    rig.port.SendPacket(&poll, 1);
    const std::vector<std::uint8_t> frame{0x3C, 0x24, 0x3A, 0x50, 0x30, 0x31, 0x36, 0x41,
                                          0x8C, 0x11, 0xEE, 0xEE, 0xFF, 0xFF, 0x00, 0x00,
                                          0x22, 0x00, 0x46, 0x01, 0xC0, 0x00, 0x00};
    EXPECT_EQ(rig.driver.written, frame);

    // An adapter pulled out: the write fails instead of hanging or spinning.
    rig.driver.writeSucceeds = false;
    const std::uint8_t bytes[3] = {1, 2, 3};
    EXPECT_EQ(rig.device.Write(bytes, 3), -1);
    EXPECT_NE(rig.device.LastError().find("writing to the port failed"), std::string::npos);
}

TEST(Win32SerialDeviceTest, AWaitForInputSleepsInTheDriverUntilAByteComes) {
    PortRig rig;
    EXPECT_FALSE(rig.device.WaitForInput(50));  // not open: the caller sleeps instead
    ASSERT_EQ(rig.OpenSession(), 1);

    // Nothing comes: one read of one byte, held in the driver for the whole
    // time, and reads never wait again afterwards.
    std::uint64_t start = rig.driver.nowMs;
    EXPECT_TRUE(rig.device.WaitForInput(40));
    EXPECT_EQ(rig.driver.nowMs - start, 40U);
    ASSERT_EQ(rig.driver.reads.size(), 1U);
    EXPECT_EQ(rig.driver.reads[0].asked, 1U);
    EXPECT_TRUE(rig.driver.reads[0].mayWait);
    EXPECT_FALSE(rig.driver.WaitingTimeouts());
    EXPECT_EQ(rig.device.BytesWaiting(), 0);

    // The time-outs of the wait: back as soon as one byte is there, or at the end.
    COMMTIMEOUTS seen{};
    CommApi api = rig.driver.Api();
    const auto record = api.setCommTimeouts;
    api.setCommTimeouts = [&seen, record](HANDLE h, LPCOMMTIMEOUTS t) {
        if (t->ReadTotalTimeoutConstant != 0) {
            seen = *t;
        }
        return record(h, t);
    };
    Win32SerialDevice watched(api);
    ASSERT_TRUE(watched.Open("\\\\.\\COM7"));
    EXPECT_TRUE(watched.WaitForInput(3000));
    EXPECT_EQ(seen.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(seen.ReadTotalTimeoutMultiplier, MAXDWORD);
    EXPECT_EQ(seen.ReadTotalTimeoutConstant, 3000U);
    EXPECT_EQ(seen.WriteTotalTimeoutMultiplier, 0U);
    EXPECT_EQ(seen.WriteTotalTimeoutConstant, 0U);
    watched.Close();

    // Bytes that come meanwhile end the wait as they arrive; the one the wait
    // took is read first, then what the driver holds, in order.
    rig.driver.reads.clear();
    start = rig.driver.nowMs;
    rig.driver.arrivalMs = start + 7;
    rig.driver.arriving = {0x21, 0x40};
    EXPECT_TRUE(rig.device.WaitForInput(3000));
    EXPECT_EQ(rig.driver.nowMs - start, 7U);
    EXPECT_EQ(rig.device.BytesWaiting(), 2);
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(rig.device.Read(buffer, 1), 1);
    EXPECT_EQ(buffer[0], 0x21);
    EXPECT_EQ(rig.device.BytesWaiting(), 1);
    EXPECT_EQ(rig.device.Read(buffer, 8), 1);
    EXPECT_EQ(buffer[0], 0x40);
    EXPECT_EQ(rig.device.BytesWaiting(), 0);

    // Bytes already waiting, or no time asked: no read at all.
    rig.driver.reads.clear();
    rig.driver.inQueue = {0x21};
    EXPECT_TRUE(rig.device.WaitForInput(3000));
    rig.driver.inQueue.clear();
    EXPECT_TRUE(rig.device.WaitForInput(0));
    EXPECT_TRUE(rig.driver.reads.empty());

    // A purge drops the byte a wait took, as it drops the driver's.
    rig.driver.arrivalMs = rig.driver.nowMs + 1;
    rig.driver.arriving = {0x21};
    EXPECT_TRUE(rig.device.WaitForInput(3000));
    EXPECT_EQ(rig.device.BytesWaiting(), 1);
    EXPECT_EQ(rig.port.PurgeInput(), 1);
    EXPECT_EQ(rig.device.BytesWaiting(), 0);

    // A read that fails (the adapter pulled out mid-wait) ends the wait with
    // its reason, and the time-outs are put back all the same.
    rig.driver.readSucceeds = false;
    EXPECT_FALSE(rig.device.WaitForInput(3000));
    EXPECT_NE(rig.device.LastError().find("reading from the port failed"), std::string::npos);
    EXPECT_FALSE(rig.driver.WaitingTimeouts());

    // The port's state unreadable: no wait, so the caller does not ask again at once.
    rig.driver.reads.clear();
    rig.driver.stateReadable = false;
    EXPECT_FALSE(rig.device.WaitForInput(3000));
    EXPECT_TRUE(rig.driver.reads.empty());
}

TEST(Win32SerialDeviceTest, TheSystemTimerRunsAtOneMillisecondOnlyWhileThePortIsOpen) {
    PortRig rig;
    ASSERT_EQ(rig.OpenSession(), 1);
    EXPECT_EQ(rig.driver.periodsBegun, std::vector<UINT>{1});
    EXPECT_TRUE(rig.driver.periodsEnded.empty());

    // Opening again gives the first request back before the second.
    ASSERT_EQ(rig.OpenSession(8), 1);
    EXPECT_EQ(rig.driver.periodsBegun, (std::vector<UINT>{1, 1}));
    EXPECT_EQ(rig.driver.periodsEnded, std::vector<UINT>{1});
    rig.port.Close();
    rig.port.Close();
    EXPECT_EQ(rig.driver.periodsEnded, (std::vector<UINT>{1, 1}));

    // A port that does not open, or is no port, asks for nothing.
    rig.driver.openSucceeds = false;
    EXPECT_EQ(rig.OpenSession(), 0);
    rig.driver.openSucceeds = true;
    rig.driver.hasLineSettings = false;
    EXPECT_EQ(rig.OpenSession(), 0);
    EXPECT_EQ(rig.driver.periodsBegun.size(), 2U);

    // A refused request is not given back; the port works all the same.
    rig.driver.hasLineSettings = true;
    rig.driver.beginPeriodResult = TIMERR_NOCANDO;
    ASSERT_EQ(rig.OpenSession(), 1);
    rig.port.Close();
    EXPECT_EQ(rig.driver.periodsBegun.size(), 3U);
    EXPECT_EQ(rig.driver.periodsEnded.size(), 2U);

    // A device destroyed while open gives it back too.
    rig.driver.beginPeriodResult = TIMERR_NOERROR;
    {
        Win32SerialDevice device(rig.api);
        ASSERT_TRUE(device.Open("\\\\.\\COM7"));
    }
    EXPECT_EQ(rig.driver.periodsBegun.size(), 4U);
    EXPECT_EQ(rig.driver.periodsEnded.size(), 3U);
}

TEST(Win32SerialDeviceTest, PurgesClearTransmitThenReceive) {
    PortRig rig;
    ASSERT_EQ(rig.OpenSession(), 1);
    rig.driver.calls.clear();
    rig.port.PurgeAndWait(0);
    EXPECT_EQ(rig.driver.calls, (std::vector<std::string>{"PurgeTx", "PurgeRx"}));
}

TEST(Win32SerialDeviceTest, RealCallsRefuseAMissingPortAndAFile) {
    Win32SerialDevice device;
    EXPECT_FALSE(device.Open("\\\\.\\COM251"));
    EXPECT_FALSE(device.IsOpen());
    EXPECT_FALSE(device.LastError().empty());

    // An ordinary file opens with CreateFileA but has no line settings.
    char folder[MAX_PATH] = {};
    ASSERT_GT(::GetTempPathA(MAX_PATH, folder), 0U);
    const std::string path = std::string(folder) + "vorenta-not-a-port-" +
                             std::to_string(::GetCurrentProcessId()) + ".txt";
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    EXPECT_FALSE(device.Open(path));
    EXPECT_FALSE(device.IsOpen());
    EXPECT_NE(device.LastError().find("not a serial port"), std::string::npos)
        << device.LastError();
    ::DeleteFileA(path.c_str());
}

TEST(Win32SerialDeviceTest, EveryComNumberIsReachedThroughTheDeviceNamespace) {
    Win32PortTable table;
    EXPECT_EQ(table.DevicePathFor(3), "\\\\.\\COM3");
    EXPECT_EQ(table.DevicePathFor(100), "\\\\.\\COM100");
    EXPECT_EQ(table.DevicePathFor(0), "");
}

}  // namespace
}  // namespace vorenta
