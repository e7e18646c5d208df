// The registry side of the Win32 layer: the saved port in the user's key and
// the installed ports from SERIALCOMM, each against a key of the test's own.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ScratchKey.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/Win32PortTable.h"
#include "platform/win32/WinApi.h"

namespace vorenta {
namespace {

using test::ScratchKey;

TEST(RegistrySettingsStoreTest, SavedPortLivesInTheUsersKeyOfCompanyAndApplication) {
    const RegistrySettingsStore store("Harwen Systems", "PLSM_Update");
    EXPECT_EQ(store.ApplicationKey().hive, RegistryHive::CurrentUser);
    EXPECT_EQ(store.ApplicationKey().subKey, "Software\\Harwen Systems\\PLSM_Update");
}

TEST(RegistrySettingsStoreTest, WritesAndReadsBackADwordPerEntry) {
    ScratchKey scratch;
    RegistrySettingsStore store(scratch.Path());
    EXPECT_EQ(store.GetProfileInt("Settings", "ComPort", -1), -1);
    ASSERT_TRUE(store.WriteProfileInt("Settings", "ComPort", 12));
    ASSERT_TRUE(store.WriteProfileInt("Other", "ComPort", 3));
    EXPECT_EQ(store.GetProfileInt("Settings", "ComPort", -1), 12);
    EXPECT_EQ(store.GetProfileInt("Other", "ComPort", -1), 3);

    // A second store on the same key (the next run of the program) sees it.
    RegistrySettingsStore later(scratch.Path());
    ASSERT_TRUE(later.WriteProfileInt("Settings", "ComPort", 100));
    EXPECT_EQ(store.GetProfileInt("Settings", "ComPort", -1), 100);
    EXPECT_EQ(store.GetProfileInt("Other", "ComPort", -1), 3);

    // The value really is a DWORD named ComPort in the key Settings.
    DWORD value = 0;
    DWORD size = sizeof(value);
    const std::string settings = scratch.Path("Settings").subKey;
    ASSERT_EQ(::RegGetValueA(HKEY_CURRENT_USER, settings.c_str(), "ComPort", RRF_RT_REG_DWORD,
                             nullptr, &value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 100U);
}

TEST(RegistrySettingsStoreTest, AValueOfAnotherTypeGivesTheDefault) {
    ScratchKey scratch;
    scratch.SetString("Settings", "ComPort", "7");
    RegistrySettingsStore store(scratch.Path());
    EXPECT_EQ(store.GetProfileInt("Settings", "ComPort", -1), -1);
    ASSERT_TRUE(store.WriteProfileInt("Settings", "ComPort", 7));
    EXPECT_EQ(store.GetProfileInt("Settings", "ComPort", -1), 7);
}

TEST(Win32PortTableTest, ListsTheDataOfEveryValueInRegistryOrder) {
    ScratchKey scratch;
    scratch.SetString("SERIALCOMM", "\\Device\\Serial2", "COM3");
    scratch.SetString("SERIALCOMM", "\\Device\\VCP0", "com12");
    scratch.SetString("SERIALCOMM", "\\Device\\Serial0", "COM1");
    scratch.SetString("SERIALCOMM", "\\Device\\Parallel0", "LPT1");
    Win32PortTable table(scratch.Path("SERIALCOMM"));

    std::vector<InstalledPort> ports;
    ASSERT_TRUE(table.ListPorts(ports));
    std::vector<std::string> names;
    for (const InstalledPort& port : ports) {
        names.push_back(port.name);
        EXPECT_EQ(port.devicePath, "\\\\.\\" + port.name);
    }
    // Which names are COM ports, and their order on the buttons, is the window's affair.
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM3", "LPT1", "com12"}));
}

TEST(Win32PortTableTest, DataTooLongForTheListEndsIt) {
    ScratchKey scratch;
    scratch.SetString("SERIALCOMM", "a", std::string(60, 'X'));
    Win32PortTable table(scratch.Path("SERIALCOMM"));
    std::vector<InstalledPort> ports;
    EXPECT_TRUE(table.ListPorts(ports));
    EXPECT_TRUE(ports.empty());
}

TEST(Win32PortTableTest, MissingKeyMeansTheListCannotBeRead) {
    ScratchKey scratch;
    Win32PortTable table(scratch.Path("SERIALCOMM"));
    std::vector<InstalledPort> ports{InstalledPort{"COM1", "x"}};
    EXPECT_FALSE(table.ListPorts(ports));
    EXPECT_TRUE(ports.empty());
}

TEST(Win32PortTableTest, AFailedOpenIsExplainedFromTheListAndASecondTry) {
    ScratchKey scratch;
    scratch.SetString("SERIALCOMM", "\\Device\\Serial0", "COM1");
    scratch.SetString("SERIALCOMM", "\\Device\\VCP0", "COM200");
    Win32PortTable table(scratch.Path("SERIALCOMM"));

    const std::string missing = table.DescribeOpenFailure(7, table.DevicePathFor(7));
    EXPECT_NE(missing.find("COM7 is not among the serial ports installed"), std::string::npos)
        << missing;
    EXPECT_NE(missing.find("(COM1, COM200)"), std::string::npos) << missing;

    // Installed, but nothing answers to the name: the adapter has gone.
    const std::string gone = table.DescribeOpenFailure(200, table.DevicePathFor(200));
    EXPECT_NE(gone.find("The adapter behind COM200 is not connected"), std::string::npos) << gone;

    Win32PortTable none(scratch.Path("NoSuchKey"));
    const std::string unlisted = none.DescribeOpenFailure(200, none.DevicePathFor(200));
    EXPECT_NE(unlisted.find("not connected"), std::string::npos) << unlisted;
}

}  // namespace
}  // namespace vorenta
