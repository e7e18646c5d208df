#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/TickSource.h"

namespace vorenta {

// A tick counter that moves only when read or slept on, so busy waits finish
// at once in tests and every wait can be measured exactly.
class FakeClock : public ITickSource {
  public:
    explicit FakeClock(std::uint32_t start = 0, std::uint32_t stepPerRead = 1)
        : now_(start), step_(stepPerRead) {}

    std::uint32_t GetTickCount() override {
        const std::uint32_t value = now_;
        now_ += step_;
        if (onRead) {
            onRead(value);
        }
        return value;
    }
    void Sleep(std::uint32_t ms) override {
        sleeps.push_back(ms);
        now_ += ms;
    }

    std::uint32_t Now() const { return now_; }
    void Advance(std::uint32_t ms) { now_ += ms; }
    void SetStep(std::uint32_t step) { step_ = step; }

    std::vector<std::uint32_t> sleeps;
    // Called with every value handed out; tests use it to let a peer act "meanwhile".
    std::function<void(std::uint32_t)> onRead;

  private:
    std::uint32_t now_;
    std::uint32_t step_;
};

}  // namespace vorenta
