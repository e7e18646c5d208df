#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/linux/LinuxPortDiagnosis.h"
#include "platform/linux/LinuxPortTable.h"
#include "platform/posix/PosixPtyPair.h"
#include "platform/posix/UniqueFd.h"
#include "tests/platform/linux/FakeSystemTree.h"

namespace vorenta::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string Explain(const PortTableRoots& roots, const std::string& path, int error,
                    SessionIdentity identity = {"alice", {}}) {
    return LinuxPortDiagnosis(roots, std::move(identity)).Explain(path, error);
}

class Diagnosis : public ::testing::Test {
  protected:
    FakeSystemTree tree;
};

// The device's group is the test's own group, named "dialout" in a group file
// of the test's making.
class PermissionDiagnosis : public Diagnosis {
  protected:
    void SetUp() override {
        device = tree.Dev("ttyUSB0");
        WriteFile(tree.roots.groupFile,
                  "staff:x:99998:alice\ndialout:x:" + std::to_string(getegid()) + ":carol,alice\n");
    }
    std::string device;
};

TEST_F(PermissionDiagnosis, NonMemberIsToldHowToJoinTheGroup) {
    const std::string text = Explain(tree.roots, device, EACCES, {"bob", {}});
    EXPECT_THAT(text, HasSubstr("belongs to the group \"dialout\", and bob is not a member"));
    EXPECT_THAT(text, HasSubstr("\n    sudo usermod -aG dialout $USER\nthen log out and in again"));
}

TEST_F(PermissionDiagnosis, MemberWhoseSessionPredatesJoiningIsToldToLogInAgain) {
    const std::string text = Explain(tree.roots, device, EACCES, {"alice", {12345}});
    EXPECT_THAT(text, HasSubstr("alice is a member of the group \"dialout\""));
    EXPECT_THAT(text, HasSubstr("this login session began before joining it"));
    EXPECT_THAT(text, Not(HasSubstr("usermod")));
}

TEST_F(PermissionDiagnosis, GroupInTheSessionPointsAtTheDevicesMode) {
    chmod(device.c_str(), 0600);
    const std::string text =
        Explain(tree.roots, device, EACCES, {"alice", {static_cast<unsigned>(getegid())}});
    EXPECT_THAT(text, HasSubstr("mode 0600) although this session belongs to that group"));
}

TEST_F(PermissionDiagnosis, UnknownGroupStillSaysPermissionDenied) {
    WriteFile(tree.roots.groupFile, "other:x:99999:\n");
    EXPECT_EQ(Explain(tree.roots, device, EACCES),
              "You may not use " + device + " (permission denied).");
}

TEST_F(Diagnosis, PortInUseNamesTheProcessesHoldingIt) {
    tree.AddProcess(4242, "minicom", tree.Dev("ttyUSB0"));
    tree.AddProcess(77, "bash");
    tree.AddProcess(4300, "screen", tree.ById());  // through the stable name, still the same device
    EXPECT_EQ(
        Explain(tree.roots, tree.Dev("ttyUSB0"), EBUSY),
        tree.Dev("ttyUSB0") + " is in use by minicom (process 4242). Close it and try again.");
    EXPECT_THAT(Explain(tree.roots, tree.ById(), EWOULDBLOCK),
                HasSubstr("in use by minicom (process 4242), screen (process 4300). Close them"));
}

TEST_F(Diagnosis, PortInUseByAnUnreadableProcessStillSaysSo) {
    tree.AddProcess(77, "bash");
    EXPECT_THAT(Explain(tree.roots, tree.Dev("ttyUSB0"), EBUSY),
                HasSubstr("is in use by another program (which one could not be read; sudo "
                          "fuser -v " +
                          tree.Dev("ttyUSB0") + " shows it)"));
}

TEST_F(Diagnosis, ModemManagerIsNamedOnlyForAcmDevices) {
    tree.AddProcess(600, "ModemManager", tree.Dev("ttyACM0"));
    const std::string acm = Explain(tree.roots, tree.Dev("ttyACM0"), EBUSY);
    EXPECT_THAT(acm, HasSubstr("in use by ModemManager (process 600)"));
    EXPECT_THAT(acm, HasSubstr("\n\nModemManager is running, and it probes a newly plugged ACM"));
    EXPECT_THAT(acm, HasSubstr("ID_MM_DEVICE_IGNORE=1"));

    EXPECT_THAT(Explain(tree.roots, tree.Dev("ttyUSB0"), EBUSY), Not(HasSubstr("ModemManager")));
    std::filesystem::remove_all(tree.roots.procFolder / "600");
    EXPECT_THAT(Explain(tree.roots, tree.Dev("ttyACM0"), EBUSY), Not(HasSubstr("ModemManager")));
}

TEST_F(Diagnosis, BrlttyIsNamedForACh340EvenAfterItsDeviceVanished) {
    tree.AddProcess(500, "brltty");
    const std::string present = Explain(tree.roots, tree.Dev("ttyUSB1"), EBUSY);
    EXPECT_THAT(present, HasSubstr("brltty (the braille display service) is running"));
    EXPECT_THAT(present, HasSubstr("USB id 1a86:7523"));
    EXPECT_THAT(present, HasSubstr("sudo systemctl mask --now brltty-udev.service"));

    // brltty took the adapter: its ttyUSB1 is gone, the USB device is still attached.
    std::filesystem::remove(tree.roots.devFolder / "ttyUSB1");
    const std::string gone = Explain(tree.roots, tree.Dev("ttyUSB1"), ENOENT);
    EXPECT_THAT(gone, HasSubstr("is not connected (any more)"));
    EXPECT_THAT(gone, HasSubstr("\n\nbrltty (the braille display service)"));

    EXPECT_THAT(Explain(tree.roots, tree.Dev("ttyUSB0"), EBUSY), Not(HasSubstr("brltty")));
    std::filesystem::remove_all(tree.roots.procFolder / "500");
    EXPECT_THAT(Explain(tree.roots, tree.Dev("ttyUSB1"), ENOENT), Not(HasSubstr("brltty")));
}

TEST_F(Diagnosis, MissingDeviceAndOtherCauses) {
    const std::string gone = tree.Dev("ttyUSB7");
    EXPECT_EQ(PortDiagnosis::ProbeOpen(gone), ENOENT);
    EXPECT_EQ(
        Explain(tree.roots, gone, ENOENT),
        "The adapter behind " + gone + " is not connected (any more). Connect it and try again.");
    EXPECT_THAT(Explain(tree.roots, gone, ENXIO), HasSubstr("not connected"));

    // A regular file opens but is no serial line.
    const std::string file = tree.Dev("ttyUSB0");
    EXPECT_EQ(PortDiagnosis::ProbeOpen(file), ENOTTY);
    EXPECT_EQ(Explain(tree.roots, file, ENOTTY), file + " is not a serial line.");
    EXPECT_THAT(Explain(tree.roots, file, 0), HasSubstr("opens now"));
    EXPECT_THAT(Explain(tree.roots, file, EIO), HasSubstr("Input/output error"));
}

// A real pty, locked by this test process the way the serial port locks it.
TEST(DiagnosisOnAPty, LockedPortIsFoundInUseByThisProcess) {
    PosixPtyPair pty;
    ASSERT_TRUE(pty.Ok()) << pty.Error();
    EXPECT_EQ(PortDiagnosis::ProbeOpen(pty.SlavePath()), 0);

    const UniqueFd holder(::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    ASSERT_TRUE(holder.Valid());
    ASSERT_EQ(::flock(holder.Get(), LOCK_EX | LOCK_NB), 0);
    const int error = PortDiagnosis::ProbeOpen(pty.SlavePath());
    EXPECT_EQ(error, EWOULDBLOCK);

    const std::string text = LinuxPortDiagnosis(PortTableRoots{}, SessionIdentity::OfThisProcess())
                                 .Explain(pty.SlavePath(), error);
    EXPECT_THAT(text, HasSubstr("is in use by "));
    EXPECT_THAT(text, HasSubstr("(process " + std::to_string(getpid()) + ")")) << text;

    // The port table answers the same through the seam the window uses.
    PortTableRoots roots;
    roots.mapFile.clear();
    LinuxPortTable table(roots);
    EXPECT_THAT(table.DescribeOpenFailure(9, pty.SlavePath()),
                HasSubstr("(process " + std::to_string(getpid()) + ")"));
}

TEST(DiagnosisOnAPty, PermissionIsReportedFromARealOpen) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root opens any device whatever its mode";
    }
    TempFolder tmp;
    const auto path = tmp.path() / "ttyLOCKED";
    WriteFile(path, "");
    chmod(path.c_str(), 0);
    EXPECT_EQ(PortDiagnosis::ProbeOpen(path.string()), EACCES);
}

}  // namespace
}  // namespace vorenta::testing
