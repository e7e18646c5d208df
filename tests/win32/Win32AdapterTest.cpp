// What SetupAPI tells of the adapters behind COM ports, through a double of
// its calls: the adapters a PC has (Wine has none), the lists and devices that
// cannot be read, and where the text reaches the operator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "ScratchKey.h"
#include "platform/win32/ComPortAdapters.h"
#include "platform/win32/SetupApi.h"
#include "platform/win32/Win32PortTable.h"
#include "serial/PortListText.h"

namespace vorenta {
namespace {

using test::ScratchKey;

struct FakeDevice {
    std::wstring instanceId;
    std::wstring portName;
    std::wstring friendlyName;
    std::wstring manufacturer;
    std::wstring service;
    std::vector<std::wstring> hardwareIds;
    std::wstring parentId;
    bool present = true;
    bool inPortsClass = true;
    bool hasComInterface = true;
    bool hasHardwareKey = true;
};

// The Ports class and the COM port interface of a PC, as SetupAPI lists them.
struct SetupDouble {
    std::vector<FakeDevice> devices;
    bool listsFail = false;
    int listsOpen = 0;
    int keysOpen = 0;
    std::vector<DWORD> listFlags;

    static constexpr ULONG kParentBase = 1000;

    // Lists are 1 (Ports class) and 2 (COM port interface); DevInst is the
    // device's index + 1.
    std::vector<std::size_t> Members(HDEVINFO list) const {
        std::vector<std::size_t> members;
        for (std::size_t i = 0; i < devices.size(); ++i) {
            if (list == reinterpret_cast<HDEVINFO>(1) ? devices[i].inPortsClass
                                                      : devices[i].hasComInterface) {
                members.push_back(i);
            }
        }
        return members;
    }
    const FakeDevice& Of(DEVINST device) const { return devices.at(device - 1); }

    static BOOL Copy(const std::wstring& text, PWSTR buffer, DWORD chars) {
        if (text.size() + 1 > chars) {
            return FALSE;
        }
        std::wcscpy(buffer, text.c_str());
        return TRUE;
    }
    // REG_SZ or REG_MULTI_SZ as the registry holds them.
    static bool Value(const std::vector<std::wstring>& strings, DWORD type, PDWORD typeOut,
                      PBYTE buffer, DWORD size, PDWORD needed) {
        std::wstring data;
        for (const std::wstring& s : strings) {
            data += s;
            data += L'\0';
        }
        if (type == REG_MULTI_SZ) {
            data += L'\0';
        }
        const auto bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        if (needed != nullptr) {
            *needed = bytes;
        }
        if (typeOut != nullptr) {
            *typeOut = type;
        }
        if (bytes > size) {
            return false;
        }
        std::copy_n(reinterpret_cast<const BYTE*>(data.data()), bytes, buffer);
        return true;
    }

    SetupApi Api() {
        SetupApi api;
        api.getClassDevs = [this](const GUID*, PCWSTR, HWND, DWORD flags) {
            listFlags.push_back(flags);
            if (listsFail) {
                return static_cast<HDEVINFO>(INVALID_HANDLE_VALUE);
            }
            ++listsOpen;
            return reinterpret_cast<HDEVINFO>((flags & DIGCF_DEVICEINTERFACE) != 0 ? 2 : 1);
        };
        api.destroyDeviceInfoList = [this](HDEVINFO) {
            --listsOpen;
            return TRUE;
        };
        api.enumDeviceInfo = [this](HDEVINFO list, DWORD index, PSP_DEVINFO_DATA data) {
            const auto members = Members(list);
            if (index >= members.size() || data->cbSize != sizeof(SP_DEVINFO_DATA)) {
                return FALSE;
            }
            data->DevInst = static_cast<DEVINST>(members[index] + 1);
            return TRUE;
        };
        api.getDeviceInstanceId = [this](HDEVINFO, PSP_DEVINFO_DATA data, PWSTR buffer, DWORD chars,
                                         PDWORD) {
            return Copy(Of(data->DevInst).instanceId, buffer, chars);
        };
        api.getDeviceRegistryProperty = [this](HDEVINFO, PSP_DEVINFO_DATA data, DWORD property,
                                               PDWORD type, PBYTE buffer, DWORD size,
                                               PDWORD needed) {
            const FakeDevice& d = Of(data->DevInst);
            const std::wstring* text = property == SPDRP_FRIENDLYNAME ? &d.friendlyName
                                       : property == SPDRP_MFG        ? &d.manufacturer
                                       : property == SPDRP_SERVICE    ? &d.service
                                                                      : nullptr;
            if (property == SPDRP_HARDWAREID && !d.hardwareIds.empty()) {
                return Value(d.hardwareIds, REG_MULTI_SZ, type, buffer, size, needed) ? TRUE
                                                                                      : FALSE;
            }
            if (text == nullptr || text->empty()) {
                return FALSE;  // ERROR_INVALID_DATA: the device has no such property
            }
            return Value({*text}, REG_SZ, type, buffer, size, needed) ? TRUE : FALSE;
        };
        api.openDevRegKey = [this](HDEVINFO, PSP_DEVINFO_DATA data, DWORD, DWORD, DWORD keyType,
                                   REGSAM) {
            if (!Of(data->DevInst).hasHardwareKey || keyType != DIREG_DEV) {
                return static_cast<HKEY>(INVALID_HANDLE_VALUE);
            }
            ++keysOpen;
            return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(data->DevInst));
        };
        api.regQueryValueEx = [this](HKEY key, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE buffer,
                                     LPDWORD size) {
            const FakeDevice& d = Of(static_cast<DEVINST>(reinterpret_cast<std::uintptr_t>(key)));
            if (std::wstring(name) != L"PortName" || d.portName.empty()) {
                return static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND);
            }
            return static_cast<LSTATUS>(Value({d.portName}, REG_SZ, type, buffer, *size, size)
                                            ? ERROR_SUCCESS
                                            : ERROR_MORE_DATA);
        };
        api.regCloseKey = [this](HKEY) {
            --keysOpen;
            return static_cast<LSTATUS>(ERROR_SUCCESS);
        };
        api.getParent = [this](PDEVINST parent, DEVINST device, ULONG) {
            if (Of(device).parentId.empty()) {
                return static_cast<CONFIGRET>(CR_NO_SUCH_DEVNODE);
            }
            *parent = kParentBase + device;
            return static_cast<CONFIGRET>(CR_SUCCESS);
        };
        api.getDeviceId = [this](DEVINST parent, PWCHAR buffer, ULONG chars, ULONG) {
            return static_cast<CONFIGRET>(Copy(Of(parent - kParentBase).parentId, buffer, chars)
                                              ? CR_SUCCESS
                                              : CR_BUFFER_SMALL);
        };
        api.getDevNodeStatus = [this](PULONG status, PULONG problem, DEVINST device, ULONG) {
            *status = 0;
            *problem = 0;
            return static_cast<CONFIGRET>(Of(device).present ? CR_SUCCESS : CR_NO_SUCH_DEVINST);
        };
        return api;
    }
};

FakeDevice Ftdi() {
    return {L"FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000",
            L"COM5",
            L"USB Serial Port (COM5)",
            L"FTDI",
            L"FTSER2K",
            {L"FTDIBUS\\COMPORT&VID_0403&PID_6001"},
            L"USB\\VID_0403&PID_6001\\A50285BI"};
}

FakeDevice CdcInterface() {
    return {L"USB\\VID_2341&PID_8036&MI_00\\7&2AD4B8E5&0&0000",
            L"COM12",
            L"USB Serial Device (COM12)",
            L"Microsoft",
            L"usbser",
            {L"USB\\VID_2341&PID_8036&REV_0100&MI_00", L"USB\\VID_2341&PID_8036&MI_00"},
            L"USB\\VID_2341&PID_8036\\HIDPC7501"};
}

FakeDevice Ch340() {
    // No serial number: Windows makes up the last part of the id.
    return {L"USB\\VID_1A86&PID_7523\\5&2C8B3A5D&0&2",
            L"COM4",
            L"USB-SERIAL CH340 (COM4)",
            L"wch.cn",
            L"CH341SER_A64",
            {L"USB\\VID_1A86&PID_7523&REV_0254", L"USB\\VID_1A86&PID_7523"},
            L"USB\\ROOT_HUB30\\4&1B8D4F0&0&0"};
}

FakeDevice BuiltInPort() {
    return {L"ACPI\\PNP0501\\1",      L"COM1",   L"Communications Port (COM1)",
            L"(Standard port types)", L"Serial", {L"ACPI\\PNP0501"},
            L"ACPI\\PNP0A08\\0"};
}

FakeDevice Cp210xUnplugged() {
    FakeDevice d{L"USB\\VID_10C4&PID_EA60\\0001",
                 L"COM9",
                 L"Silicon Labs CP210x USB to UART Bridge (COM9)",
                 L"Silicon Labs",
                 L"silabser",
                 {L"USB\\VID_10C4&PID_EA60&REV_0100"},
                 L""};
    d.present = false;
    return d;
}

FakeDevice PrinterPort() {
    FakeDevice d{L"ACPI\\PNP0401\\1",
                 L"LPT1",
                 L"Printer Port (LPT1)",
                 L"(Standard port types)",
                 L"Parport",
                 {},
                 L""};
    d.hasComInterface = false;
    return d;
}

TEST(ComPortAdapters, EachAdapterIsNamedWithItsIdsMakerAndDriver) {
    SetupDouble setup;
    setup.devices = {Ftdi(), CdcInterface(), Ch340(), BuiltInPort()};
    const SetupApi api = setup.Api();
    const std::vector<ComPortAdapter> adapters = ReadComPortAdapters(api);
    ASSERT_EQ(adapters.size(), 4U);

    EXPECT_EQ(adapters[0].Describe(),
              "USB Serial Port (0403:6001, serial A50285BI)\n"
              "manufacturer FTDI, driver service FTSER2K\n"
              "FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000");
    // An interface of a composite device: the serial number is its parent's.
    EXPECT_EQ(adapters[1].Summary(), "USB Serial Device (2341:8036, serial HIDPC7501)");
    EXPECT_EQ(adapters[1].service, "usbser");
    // No serial number, and a parent that is a hub.
    EXPECT_EQ(adapters[2].Describe(),
              "USB-SERIAL CH340 (1a86:7523)\n"
              "manufacturer wch.cn, driver service CH341SER_A64\n"
              "USB\\VID_1A86&PID_7523\\5&2C8B3A5D&0&2");
    EXPECT_EQ(adapters[3].Describe(),
              "Communications Port\n"
              "manufacturer (Standard port types), driver service Serial\n"
              "ACPI\\PNP0501\\1");

    // Both lists read, both given back, every key closed.
    EXPECT_EQ(setup.listFlags, (std::vector<DWORD>{0, DIGCF_DEVICEINTERFACE}));
    EXPECT_EQ(setup.listsOpen, 0);
    EXPECT_EQ(setup.keysOpen, 0);
}

TEST(ComPortAdapters, PrinterPortsAndDevicesListedTwiceAreLeftOutAndUnpluggedOnesMarked) {
    SetupDouble setup;
    FakeDevice modem = Ftdi();  // in another class, with the COM port interface only
    modem.instanceId = L"USB\\VID_0572&PID_1329\\24680";
    modem.portName = L"COM7";
    modem.friendlyName = L"USB Modem";
    modem.inPortsClass = false;
    FakeDevice replacement = Cp210xUnplugged();  // COM9 again, plugged in
    replacement.instanceId = L"USB\\VID_10C4&PID_EA60\\0002";
    replacement.present = true;
    setup.devices = {PrinterPort(), Ftdi(), Cp210xUnplugged(), modem, replacement};
    const SetupApi api = setup.Api();
    const std::vector<ComPortAdapter> adapters = ReadComPortAdapters(api);

    std::vector<std::string> names;
    for (const ComPortAdapter& a : adapters) {
        names.push_back(a.portName + (a.present ? "" : " (gone)"));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"COM5", "COM9 (gone)", "COM9", "COM7"}));
    EXPECT_EQ(adapters[1].Summary(),
              "Silicon Labs CP210x USB to UART Bridge (10c4:ea60, serial 0001), not plugged in");

    // The one plugged in answers for the name; the other only when alone.
    ASSERT_NE(FindComPortAdapter(adapters, "com9"), nullptr);
    EXPECT_EQ(FindComPortAdapter(adapters, "com9")->SerialNumber(), "0002");
    const std::vector<ComPortAdapter> gone(adapters.begin() + 1, adapters.begin() + 2);
    ASSERT_NE(FindComPortAdapter(gone, "COM9"), nullptr);
    EXPECT_FALSE(FindComPortAdapter(gone, "COM9")->present);
    EXPECT_EQ(FindComPortAdapter(adapters, "COM3"), nullptr);
}

TEST(ComPortAdapters, WhatCannotBeReadIsLeftOutAndTheRestStays) {
    SetupDouble setup;
    setup.listsFail = true;
    const SetupApi failing = setup.Api();
    EXPECT_TRUE(ReadComPortAdapters(failing).empty());
    EXPECT_EQ(setup.listsOpen, 0);  // nothing to give back

    setup.listsFail = false;
    FakeDevice noKey = Ch340();
    noKey.hasHardwareKey = false;
    FakeDevice sparse = BuiltInPort();
    sparse.friendlyName = std::wstring(5000, L'x');  // longer than any name: left out
    sparse.manufacturer.clear();
    sparse.parentId.clear();
    setup.devices = {noKey, sparse};
    const SetupApi api = setup.Api();
    const std::vector<ComPortAdapter> adapters = ReadComPortAdapters(api);
    ASSERT_EQ(adapters.size(), 1U);
    EXPECT_EQ(adapters[0].Describe(), "driver service Serial\nACPI\\PNP0501\\1");
    EXPECT_EQ(setup.keysOpen, 0);
    EXPECT_EQ(setup.listsOpen, 0);
}

TEST(ComPortAdapters, ThePortTableNamesTheAdapterInItsListAndInFailureReasons) {
    ScratchKey scratch;
    scratch.SetString("SERIALCOMM", "\\Device\\VCP0", "COM5");
    scratch.SetString("SERIALCOMM", "\\Device\\Serial0", "COM1");
    SetupDouble setup;
    setup.devices = {Ftdi(), BuiltInPort(), Cp210xUnplugged()};
    const SetupApi api = setup.Api();
    Win32PortTable table(scratch.Path("SERIALCOMM"), api);

    std::vector<InstalledPort> ports;
    ASSERT_TRUE(table.ListPorts(ports));
    std::sort(ports.begin(), ports.end(),
              [](const InstalledPort& a, const InstalledPort& b) { return a.name < b.name; });
    EXPECT_EQ(PortListText(table, ports),
              "COM1   \\\\.\\COM1\n"
              "       Communications Port\n"
              "       manufacturer (Standard port types), driver service Serial\n"
              "       ACPI\\PNP0501\\1\n"
              "COM5   \\\\.\\COM5\n"
              "       USB Serial Port (0403:6001, serial A50285BI)\n"
              "       manufacturer FTDI, driver service FTSER2K\n"
              "       FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000\n");
    // The session log's header takes it on one line.
    EXPECT_EQ(AdapterLine(table, "\\\\.\\COM5"),
              "USB Serial Port (0403:6001, serial A50285BI); manufacturer FTDI, driver service "
              "FTSER2K; FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000");
    EXPECT_EQ(table.DescribeDevice("\\\\.\\COM3"), "");

    // Read again with the next listing, not at every question.
    setup.devices[0].friendlyName = L"Renamed Port (COM5)";
    EXPECT_NE(table.DescribeDevice("\\\\.\\COM5").find("USB Serial Port"), std::string::npos);
    ASSERT_TRUE(table.ListPorts(ports));
    EXPECT_NE(table.DescribeDevice("\\\\.\\COM5").find("Renamed Port"), std::string::npos);

    // A port whose adapter is unplugged: the reason, then the adapter it was.
    const std::string gone = table.DescribeOpenFailure(9, table.DevicePathFor(9));
    EXPECT_EQ(gone.rfind("COM9 is not among the serial ports installed on this computer (", 0), 0U)
        << gone;
    EXPECT_NE(gone.find("\nCOM9 was Silicon Labs CP210x USB to UART Bridge (10c4:ea60, serial "
                        "0001), not plugged in; manufacturer Silicon Labs, driver service "
                        "silabser; USB\\VID_10C4&PID_EA60\\0001."),
              std::string::npos)
        << gone;
    // Listed, but it does not open (no such device under Wine): the adapter it is.
    const std::string listed = table.DescribeOpenFailure(5, table.DevicePathFor(5));
    EXPECT_NE(listed.find("\nCOM5 is Renamed Port (0403:6001, serial A50285BI); manufacturer "
                          "FTDI, driver service FTSER2K; "),
              std::string::npos)
        << listed;
}

TEST(ComPortAdapters, WinesSetupApiIsReadWithoutTrouble) {
    const SetupApi api;
    const std::vector<ComPortAdapter> adapters = ReadComPortAdapters(api);
    std::printf("SetupAPI lists %zu device(s) with a COM port name here\n", adapters.size());
    for (const ComPortAdapter& adapter : adapters) {
        std::printf("  %s: %s\n", adapter.portName.c_str(), adapter.Describe().c_str());
        EXPECT_EQ(adapter.portName.rfind("COM", 0), 0U) << adapter.portName;
    }
    Win32PortTable table;
    std::vector<InstalledPort> ports;
    if (table.ListPorts(ports)) {
        for (const InstalledPort& port : ports) {
            std::printf("  installed %s: [%s]\n", port.name.c_str(),
                        table.DescribeDevice(port.devicePath).c_str());
        }
    }
}

}  // namespace
}  // namespace vorenta
