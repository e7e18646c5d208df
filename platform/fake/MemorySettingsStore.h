#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/SettingsStore.h"

namespace vorenta {

// Settings kept in memory, counting reads and writes; a write can be made to fail.
class MemorySettingsStore : public ISettingsStore {
  public:
    int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) override {
        ++reads;
        const auto it = values.find(Key(section, entry));
        return it == values.end() ? defaultValue : it->second;
    }
    bool WriteProfileInt(std::string_view section, std::string_view entry, int value) override {
        ++writes;
        if (writable) {
            values[Key(section, entry)] = value;
        }
        return writable;
    }
    static std::string Key(std::string_view section, std::string_view entry) {
        return std::string(section) + "/" + std::string(entry);
    }

    std::map<std::string, int> values;
    bool writable = true;
    int reads = 0;
    int writes = 0;
};

}  // namespace vorenta
