#pragma once

#include "platform/win32/WinApi.h"

namespace vorenta {

// Owns one kernel handle and closes it, unless it is handed on.
class UniqueHandle {
  public:
    explicit UniqueHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    void Reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        if (Valid()) {
            ::CloseHandle(handle_);
        }
        handle_ = handle;
    }

  private:
    HANDLE handle_;
};

// Owns an open registry key.
class UniqueRegKey {
  public:
    UniqueRegKey() = default;
    ~UniqueRegKey() {
        if (key_ != nullptr) {
            ::RegCloseKey(key_);
        }
    }
    UniqueRegKey(const UniqueRegKey&) = delete;
    UniqueRegKey& operator=(const UniqueRegKey&) = delete;

    HKEY Get() const { return key_; }
    // For the calls that fill in a key; the key must not be open yet.
    HKEY* Receive() { return &key_; }

  private:
    HKEY key_ = nullptr;
};

}  // namespace vorenta
