#include "tools/vorenta-sim/BaseStation.h"

#include <array>

#include "tools/vorenta-sim/Protocol.h"
#include "tools/vorenta-sim/Text.h"

namespace vorenta::sim {

namespace {

struct PreparationStep {
    BaseCommand command;
    unsigned speed;
};

constexpr std::array<PreparationStep, 4> kPreparation = {{{BaseCommand::Speed, 9600},
                                                          {BaseCommand::Speed, 19200},
                                                          {BaseCommand::Return, kSessionSpeed},
                                                          {BaseCommand::Radio, kSessionSpeed}}};

std::string Quoted(BaseCommand command) {
    std::string text(1, '"');
    text += Printable(AsBytes(CommandText(command)));
    text += '"';
    return text;
}

}  // namespace

BaseStation::BaseStation(bool alreadyPrepared, bool checkSpeed)
    : step_(alreadyPrepared ? kPreparation.size() : 0), checkSpeed_(checkSpeed) {}

bool BaseStation::Prepared() const {
    return step_ == kPreparation.size();
}

void BaseStation::CheckSpeed(std::string_view what, unsigned speed, unsigned expected,
                             std::vector<std::string>& problems) const {
    if (checkSpeed_ && speed != expected) {
        problems.push_back(std::string(what) + " at " + std::to_string(speed) +
                           " bit/s, expected " + std::to_string(expected) + " bit/s");
    }
}

std::vector<std::string> BaseStation::OnCommand(BaseCommand command, unsigned speed) {
    std::vector<std::string> problems;
    const std::string name = Quoted(command);
    if (released_) {
        problems.push_back(name + " after the release");
        return problems;
    }
    if (command == BaseCommand::Release) {
        released_ = true;
        if (!Prepared()) {
            problems.push_back("release before the preparation finished");
        }
        CheckSpeed(name, speed, kSessionSpeed, problems);
        return problems;
    }
    if (Prepared()) {
        problems.push_back(name + " after the preparation finished");
        return problems;
    }
    if (kPreparation[step_].command == command) {
        CheckSpeed(name, speed, kPreparation[step_].speed, problems);
        ++step_;
        return problems;
    }
    problems.push_back(name + " out of order, expected " + Quoted(kPreparation[step_].command));
    // Carry on from where the command stands in the sequence, so one slip is reported once.
    for (std::size_t next = step_ + 1; next < kPreparation.size(); ++next) {
        if (kPreparation[next].command == command) {
            CheckSpeed(name, speed, kPreparation[next].speed, problems);
            step_ = next + 1;
            break;
        }
    }
    return problems;
}

std::vector<std::string> BaseStation::OnFrame(unsigned speed) {
    std::vector<std::string> problems;
    if (released_) {
        problems.push_back("frame after the release");
        return problems;
    }
    if (!Prepared()) {
        problems.push_back("frame before the base station was prepared");
    }
    CheckSpeed("frame", speed, kSessionSpeed, problems);
    return problems;
}

}  // namespace vorenta::sim
