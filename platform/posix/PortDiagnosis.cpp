#include "platform/posix/PortDiagnosis.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <system_error>
#include <utility>

#include "platform/posix/AdapterInfo.h"
#include "platform/posix/BoundedFile.h"
#include "platform/posix/UniqueFd.h"

namespace vorenta {

namespace {

constexpr std::string_view kModemManager = "ModemManager";
constexpr std::string_view kBrltty = "brltty";
constexpr std::string_view kAcmDriver = "cdc_acm";
constexpr std::string_view kAcmStem = "ttyACM";
constexpr std::string_view kCh340Vendor = "1a86";
constexpr std::string_view kCh340Product = "7523";
// /etc/group is a few kilobytes; a directory service may make it larger.
constexpr std::size_t kMaxGroupFileBytes = 4 * 1024 * 1024;

struct Group {
    std::string name;
    std::vector<std::string> members;
};

// The group with number `gid` in a group(5) file; false when it is not listed.
bool FindGroup(const std::filesystem::path& groupFile, unsigned gid, Group& found) {
    std::string text;
    if (ReadRegularFile(groupFile, kMaxGroupFileBytes, text) != BoundedRead::Read) {
        return false;
    }
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        std::string field;
        while (std::getline(parts, field, ':')) {
            fields.push_back(field);
        }
        if (fields.size() < 3 || fields[2] != std::to_string(gid)) {
            continue;
        }
        found.name = fields[0];
        found.members.clear();
        if (fields.size() > 3) {
            std::istringstream names(fields[3]);
            std::string member;
            while (std::getline(names, member, ',')) {
                found.members.push_back(member);
            }
        }
        return true;
    }
    return false;
}

std::string Octal(unsigned mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", mode & 07777U);
    return text;
}

bool IsMissingDevice(int error) {
    return error == ENOENT || error == ENODEV || error == ENXIO || error == ENOTDIR;
}

bool IsBusy(int error) {
    return error == EBUSY || error == EWOULDBLOCK || error == EAGAIN;
}

}  // namespace

SessionIdentity SessionIdentity::OfThisProcess() {
    SessionIdentity identity;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr) {
        identity.userName = result->pw_name;
    }
    identity.groups.push_back(getegid());
    const int count = getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> groups(static_cast<std::size_t>(count));
        const int got = getgroups(count, groups.data());
        for (int i = 0; i < got; ++i) {
            identity.groups.push_back(groups[static_cast<std::size_t>(i)]);
        }
    }
    return identity;
}

PortDiagnosis::PortDiagnosis(PortTableRoots roots, SessionIdentity identity)
    : roots_(std::move(roots)), identity_(std::move(identity)) {}

int PortDiagnosis::ProbeOpen(const std::string& devicePath) {
    const UniqueFd fd(::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) {
        return errno;
    }
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        return errno;
    }
    termios settings{};
    if (::tcgetattr(fd.Get(), &settings) != 0) {
        return errno;
    }
    return 0;
}

std::vector<PortDiagnosis::Holder> PortDiagnosis::FindHolders(const std::string& devicePath) const {
    std::vector<Holder> holders;
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(devicePath, error);
    for (std::filesystem::directory_iterator process(roots_.procFolder, error), end;
         !error && process != end; process.increment(error)) {
        const std::string pidText = process->path().filename().string();
        if (pidText.empty() || !std::all_of(pidText.begin(), pidText.end(),
                                            [](char c) { return c >= '0' && c <= '9'; })) {
            continue;
        }
        std::error_code fdError;  // other users' descriptors are not readable: skip them
        for (std::filesystem::directory_iterator fd(process->path() / "fd", fdError), fdEnd;
             !fdError && fd != fdEnd; fd.increment(fdError)) {
            std::error_code linkError;
            const std::filesystem::path target =
                std::filesystem::read_symlink(fd->path(), linkError);
            if (!linkError &&
                (target == devicePath || (!canonical.empty() && target == canonical))) {
                holders.push_back({std::stol(pidText), ReadAttribute(process->path() / "comm")});
                break;
            }
        }
    }
    std::sort(holders.begin(), holders.end(),
              [](const Holder& a, const Holder& b) { return a.pid < b.pid; });
    return holders;
}

bool PortDiagnosis::ProcessRunning(std::string_view name) const {
    std::error_code error;
    for (std::filesystem::directory_iterator process(roots_.procFolder, error), end;
         !error && process != end; process.increment(error)) {
        if (ReadAttribute(process->path() / "comm") == name) {
            return true;
        }
    }
    return false;
}

std::string PortDiagnosis::Explain(const std::string& devicePath, int openError) const {
    std::vector<std::string> advice;
    if (IsMissingDevice(openError)) {
        advice.push_back("The adapter behind " + devicePath +
                         " is not connected (any more). Connect it and try again.");
    } else if (openError == EACCES || openError == EPERM) {
        advice.push_back(ExplainPermission(devicePath));
    } else if (IsBusy(openError)) {
        advice.push_back(ExplainInUse(devicePath));
    } else if (openError == ENOTTY) {
        advice.push_back(devicePath + " is not a serial line.");
    } else if (openError == 0) {
        advice.push_back(devicePath + " opens now: whatever held it has let it go. Try again.");
    } else {
        advice.push_back(devicePath + ": " + std::strerror(openError) + ".");
    }

    const AdapterInfo adapter = ReadAdapterInfo(devicePath, roots_);
    const bool isAcm =
        adapter.driver == kAcmDriver ||
        std::filesystem::path(devicePath).filename().string().rfind(kAcmStem, 0) == 0;
    if (isAcm && ProcessRunning(kModemManager)) {
        advice.push_back(
            "ModemManager is running, and it probes a newly plugged ACM device such as " +
            devicePath +
            " for a few seconds. Wait a moment and try again. To keep it away from this adapter "
            "for good, give the adapter the udev property ID_MM_DEVICE_IGNORE=1, or stop "
            "ModemManager (sudo systemctl stop ModemManager).");
    }
    const bool isCh340 =
        (adapter.vendorId == kCh340Vendor && adapter.productId == kCh340Product) ||
        (IsMissingDevice(openError) && UsbDeviceAttached(roots_, kCh340Vendor, kCh340Product));
    if (isCh340 && ProcessRunning(kBrltty)) {
        advice.push_back(
            "brltty (the braille display service) is running; it is known to claim CH340 USB "
            "serial adapters (USB id 1a86:7523), which then vanish from /dev. If no braille "
            "display is used here, stop it for good with\n"
            "    sudo systemctl mask --now brltty-udev.service brltty.service\n"
            "(or remove the brltty package), then unplug the adapter and plug it in again.");
    }
    std::string text;
    for (const std::string& item : advice) {
        if (!text.empty()) {
            text += "\n\n";
        }
        text += item;
    }
    return text;
}

std::string PortDiagnosis::ExplainPermission(const std::string& devicePath) const {
    struct stat info {};
    Group group;
    if (::stat(devicePath.c_str(), &info) != 0 ||
        !FindGroup(roots_.groupFile, info.st_gid, group)) {
        return "You may not use " + devicePath + " (permission denied).";
    }
    const std::string quoted = "\"" + group.name + "\"";
    const bool listed = !identity_.userName.empty() &&
                        std::find(group.members.begin(), group.members.end(), identity_.userName) !=
                            group.members.end();
    const bool inSession = std::find(identity_.groups.begin(), identity_.groups.end(),
                                     static_cast<unsigned>(info.st_gid)) != identity_.groups.end();
    if (inSession) {
        return "You may not use " + devicePath + " (group " + quoted + ", mode " +
               Octal(info.st_mode) +
               ") although this session belongs to that group: the device does not let its "
               "group read and write it.";
    }
    if (listed) {
        return "You may not use " + devicePath + " yet: " + identity_.userName +
               " is a member of the group " + quoted +
               " that may use it, but this login session began before joining it. Log out and "
               "in again (or restart the computer).";
    }
    return "You may not use " + devicePath + ": it belongs to the group " + quoted + ", and " +
           (identity_.userName.empty() ? std::string("you are") : identity_.userName + " is") +
           " not a member. Join it with\n    sudo usermod -aG " + group.name +
           " $USER\nthen log out and in again.";
}

std::string PortDiagnosis::ExplainInUse(const std::string& devicePath) const {
    const std::vector<Holder> holders = FindHolders(devicePath);
    if (holders.empty()) {
        return devicePath +
               " is in use by another program (which one could not be read; sudo fuser -v " +
               devicePath + " shows it). Close it and try again.";
    }
    std::string names;
    for (const Holder& holder : holders) {
        if (!names.empty()) {
            names += ", ";
        }
        names += (holder.name.empty() ? std::string("a program") : holder.name) + " (process " +
                 std::to_string(holder.pid) + ")";
    }
    return devicePath + " is in use by " + names +
           (holders.size() == 1 ? ". Close it and try again." : ". Close them and try again.");
}

}  // namespace vorenta
