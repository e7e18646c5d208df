#pragma once

#include <vector>

#include "platform/win32/WinApi.h"

namespace vorenta {

// What only the user running this process may reach: a folder made with
// Attributes() can be opened by nobody else, and what is made in it inherits
// that. Owns() tells whether this user owns an object, so only our own
// leftovers are ever taken for abandoned ones.
class UserOnlyAccess {
  public:
    UserOnlyAccess();
    ~UserOnlyAccess();
    UserOnlyAccess(const UserOnlyAccess&) = delete;
    UserOnlyAccess& operator=(const UserOnlyAccess&) = delete;

    // Null when the user cannot be told (then nothing should be made).
    SECURITY_ATTRIBUTES* Attributes();
    // Whether `handle` (opened with READ_CONTROL) is owned by this user: its
    // account, or the owner its objects get by default (the administrators'
    // group for an elevated process).
    bool Owns(HANDLE handle) const;

  private:
    std::vector<BYTE> user_;          // the account's SID
    std::vector<BYTE> defaultOwner_;  // the owner new objects get
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace vorenta
