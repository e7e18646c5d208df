#include "UpdateRig.h"

#include <algorithm>

namespace vorenta::test {

namespace {
constexpr std::size_t kFrameHead = 20;
constexpr std::size_t kPageBytes = 4 + 256 + 1;
const std::string kTargetId = "KT76-MM-VMM-232-1.0";
}  // namespace

ModulePeer::ModulePeer(MemorySerialDevice& device) : device_(device) {
    device_.onWrite = [this](MemorySerialDevice&, const std::vector<std::uint8_t>& bytes) {
        if (bytes.size() < kFrameHead + 2 || bytes[0] != '<' || bytes[1] != '$' ||
            bytes[2] != ':' || bytes[3] != 'P') {
            return;  // a raw base-station command
        }
        const std::size_t n = bytes[19];
        OnFrameData(std::vector<std::uint8_t>(bytes.begin() + kFrameHead,
                                              bytes.begin() + static_cast<long>(kFrameHead + n)));
    };
}

void ModulePeer::OnFrameData(const std::vector<std::uint8_t>& data) {
    if (!identified) {
        if (data.size() == 1 && data[0] == 0xC0) {
            if (++polls == answerAtPoll) {
                device_.Feed(noiseBeforeAnswer);
                device_.Feed(std::vector<std::uint8_t>{0xD0});
            }
        } else if (std::string(data.begin(), data.end()) == kTargetId) {
            identified = true;
            device_.Feed(identification);
            if (readyByte) {
                device_.Feed(std::vector<std::uint8_t>{*readyByte});
            }
        }
        return;
    }
    pending_.insert(pending_.end(), data.begin(), data.end());
    if (pending_.size() == 4 &&
        std::all_of(pending_.begin(), pending_.end(), [](std::uint8_t b) { return b == 0xFF; })) {
        endMarkerSeen = true;
        pending_.clear();
        return;
    }
    if (pending_.size() < kPageBytes) {
        return;
    }
    const std::uint32_t address = (std::uint32_t{pending_[0]} << 24U) |
                                  (std::uint32_t{pending_[1]} << 16U) |
                                  (std::uint32_t{pending_[2]} << 8U) | pending_[3];
    addresses.push_back(address);
    const std::size_t page = address / 256;
    if (sendsPerPage.size() <= page) {
        sendsPerPage.resize(page + 1, 0);
    }
    const int sendCount = ++sendsPerPage[page];
    std::uint8_t sum = 0;
    for (std::size_t i = 4; i < 260; ++i) {
        sum = static_cast<std::uint8_t>(sum + pending_[i]);
    }
    const bool checksumOk = sum == pending_[260];
    if (!checksumOk) {
        ++badChecksums;
    }
    const auto reply = pageReply(page, sendCount);
    if (reply && *reply == '!' && checksumOk) {
        pagesAccepted.emplace_back(pending_.begin() + 4, pending_.begin() + 260);
    }
    pending_.clear();
    if (reply) {
        device_.Feed(std::vector<std::uint8_t>{*reply});
    }
}

UpdateRig::UpdateRig(std::size_t firmwareBytes) : UpdateRig(firmwareBytes, Parts{}) {}

UpdateRig::UpdateRig(std::size_t firmwareBytes, Parts partsToUse) : parts(partsToUse) {
    std::filesystem::create_directories(programDir);
    std::filesystem::create_directories(tempDir);
    WriteFirmware(firmwareBytes);
    constexpr char kSeparator = std::filesystem::path::preferred_separator;
    dlg.firmware.programDir = programDir.string() + kSeparator;
    dlg.pageImage.tempDir = tempDir.string() + kSeparator;
    host.Attach(&dlg);
}

std::vector<std::uint8_t> UpdateRig::Firmware() const {
    std::ifstream in(programDir / "module.bin", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void UpdateRig::WriteFirmware(std::size_t size) {
    std::ofstream firmware(programDir / "module.bin", std::ios::binary | std::ios::trunc);
    for (std::size_t i = 0; i < size; ++i) {
        firmware.put(static_cast<char>((i * 7 + i / 256) & 0xFF));
    }
    std::ofstream description(programDir / "Vorenta_KT76_MM_VMM_V2.txt", std::ios::trunc);
    description << "2.1.7\nmodule.bin\n";
}

void UpdateRig::Init() {
    dlg.OnInitDialog();
    // The fake clock moves one tick per reading; let the timer see real time pass.
    clock.SetStep(1);
}

int UpdateRig::TickUntilIdle(int limit) {
    int ticks = 0;
    while (ticks < limit) {
        clock.Advance(500);
        host.TimerTick();
        ++ticks;
        if (dlg.session.updateActive == 0) {
            break;
        }
    }
    return ticks;
}

}  // namespace vorenta::test
