// The Linux port watch on folders of the test's own: tty devices coming and
// going, the port map edited, and a mapped device whose folder comes later.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/linux/InotifyPortWatch.h"
#include "tests/support/TempFolder.h"

namespace vorenta::test {
namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& path) {
    std::ofstream(path).put('\n');
}

struct WatchedTree {
    WatchedTree() {
        fs::create_directories(dev);
        fs::create_directories(config);
    }
    TempFolder folder{"vorenta-watch-"};
    fs::path dev = folder.path() / "dev";
    fs::path config = folder.path() / "config";
    fs::path map = config / "ports.conf";
};

TEST(InotifyPortWatch, TtyDevicesComingAndGoingCountOtherNamesDoNot) {
    WatchedTree tree;
    InotifyPortWatch watch(tree.dev, tree.map);
    ASSERT_TRUE(watch.Watching());
    EXPECT_FALSE(watch.PortsChanged());

    Touch(tree.dev / "ttyUSB0");
    EXPECT_TRUE(watch.PortsChanged());
    EXPECT_FALSE(watch.PortsChanged());  // told once

    Touch(tree.dev / "sda1");
    fs::create_directory(tree.dev / "shm");
    EXPECT_FALSE(watch.PortsChanged());

    fs::remove(tree.dev / "ttyUSB0");
    EXPECT_TRUE(watch.PortsChanged());
    fs::rename(tree.dev / "sda1", tree.dev / "rfcomm0");
    EXPECT_TRUE(watch.PortsChanged());
}

TEST(InotifyPortWatch, TheMapAndTheFoldersOfItsDevicesCount) {
    WatchedTree tree;
    InotifyPortWatch watch(tree.dev, tree.map);
    Touch(tree.config / "other.ini");
    EXPECT_FALSE(watch.PortsChanged());

    // A map naming a device in a folder that does not exist yet.
    const fs::path byId = tree.folder.path() / "serial" / "by-id";
    std::ofstream(tree.map) << "# a comment\nCOM9 = " << (byId / "usb-adapter").string() << "\n";
    EXPECT_TRUE(watch.PortsChanged());

    fs::create_directories(byId);  // the folder comes with the first adapter
    EXPECT_TRUE(watch.PortsChanged());
    Touch(byId / "usb-adapter");
    EXPECT_TRUE(watch.PortsChanged());
    fs::remove(byId / "usb-adapter");
    EXPECT_TRUE(watch.PortsChanged());
    // The folder goes with the last adapter and comes back with the next one.
    fs::remove(byId);
    EXPECT_TRUE(watch.PortsChanged());
    fs::create_directories(byId);
    Touch(byId / "usb-adapter");
    EXPECT_TRUE(watch.PortsChanged());
    fs::remove(byId / "usb-adapter");
    EXPECT_TRUE(watch.PortsChanged());
}

TEST(InotifyPortWatch, OnlyTheMappedNamesCountInTheirFoldersAndTheMapMayComeLater) {
    TempFolder folder{"vorenta-watch-"};
    const fs::path dev = folder.path() / "dev";
    const fs::path settings = folder.path() / "config" / "Harwen Systems";
    fs::create_directories(dev);
    fs::create_directories(folder.path() / "config");
    InotifyPortWatch watch(dev, settings / "ports.conf");

    // The settings folder does not exist yet: other entries beside it do not count.
    Touch(folder.path() / "config" / "mimeapps.list");
    EXPECT_FALSE(watch.PortsChanged());
    fs::create_directory(settings);
    EXPECT_TRUE(watch.PortsChanged());
    Touch(settings / "vorenta-update.ini");
    EXPECT_FALSE(watch.PortsChanged());

    const fs::path others = folder.path() / "others";
    fs::create_directories(others);
    std::ofstream(settings / "ports.conf") << "COM9=" << (others / "adapter").string() << "\n";
    EXPECT_TRUE(watch.PortsChanged());
    Touch(others / "unrelated");
    EXPECT_FALSE(watch.PortsChanged());
    Touch(others / "adapter");
    EXPECT_TRUE(watch.PortsChanged());
}

TEST(InotifyPortWatch, AMissingDeviceFolderIsNoErrorAndTellsNothing) {
    TempFolder folder{"vorenta-watch-"};
    InotifyPortWatch watch(folder.path() / "no-dev", {});
    EXPECT_FALSE(watch.PortsChanged());
}

}  // namespace
}  // namespace vorenta::test
