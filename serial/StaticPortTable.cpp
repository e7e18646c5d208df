#include "serial/StaticPortTable.h"
#include "platform/TextCompare.h"

#include <charconv>
#include <utility>

namespace vorenta {

namespace {

constexpr char kMappingSeparator = '=';

bool ValidComNumber(int n) {
    return n >= kLowestComNumber && n <= kHighestComNumber;
}

}  // namespace

std::string ComName(int comNumber) {
    return std::string(kComPrefix) + std::to_string(comNumber);
}

std::optional<int> ParseComName(std::string_view name) {
    if (name.size() <= kComPrefix.size()) {
        return std::nullopt;
    }
    if (!StartsWithIgnoringCase(name, kComPrefix)) {
        return std::nullopt;
    }
    const std::string_view digits = name.substr(kComPrefix.size());
    if (digits.front() < '0' || digits.front() > '9') {
        return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{} || end != digits.data() + digits.size() || !ValidComNumber(value)) {
        return std::nullopt;
    }
    return value;
}

StaticPortTable::StaticPortTable(const std::map<int, std::string>& paths) {
    for (const auto& [number, path] : paths) {
        Add(number, path);
    }
}

bool StaticPortTable::Add(int comNumber, std::string devicePath) {
    if (!ValidComNumber(comNumber) || devicePath.empty()) {
        return false;
    }
    paths_[comNumber] = std::move(devicePath);
    return true;
}

bool StaticPortTable::AddMapping(std::string_view mapping) {
    const auto separator = mapping.find(kMappingSeparator);
    if (separator == std::string_view::npos) {
        return false;
    }
    const auto number = ParseComName(mapping.substr(0, separator));
    if (!number) {
        return false;
    }
    return Add(*number, std::string(mapping.substr(separator + 1)));
}

bool StaticPortTable::ListPorts(std::vector<InstalledPort>& ports) {
    ports.clear();
    for (const auto& [number, path] : paths_) {
        ports.push_back(InstalledPort{ComName(number), path});
    }
    return true;
}

std::string StaticPortTable::DevicePathFor(int comNumber) {
    const auto found = paths_.find(comNumber);
    return found != paths_.end() ? found->second : std::string();
}

}  // namespace vorenta
