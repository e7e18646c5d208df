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

#include "platform/posix/BoundedFile.h"
#include "platform/posix/UniqueFd.h"

namespace vorenta {

namespace {

// /etc/group is a few kilobytes; a directory service may make it larger.
constexpr std::size_t kMaxGroupFileBytes = std::size_t{4} * 1024 * 1024;

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

PortDiagnosis::PortDiagnosis(std::filesystem::path groupFile, SessionIdentity identity)
    : groupFile_(std::move(groupFile)), identity_(std::move(identity)) {}

bool PortDiagnosis::IsMissingDevice(int error) {
    return error == ENOENT || error == ENODEV || error == ENXIO || error == ENOTDIR;
}

std::vector<PortDiagnosis::Holder> PortDiagnosis::FindHolders(const std::string&) const {
    return {};
}

std::vector<std::string> PortDiagnosis::ServiceAdvice(const std::string&, int) const {
    return {};
}

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

    for (std::string& item : ServiceAdvice(devicePath, openError)) {
        advice.push_back(std::move(item));
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
    if (::stat(devicePath.c_str(), &info) != 0 || !FindGroup(groupFile_, info.st_gid, group)) {
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
