#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorenta {

// A pseudo-terminal whose slave side stands in for a serial device: the
// program under test opens SlavePath(), the owner of this object plays the
// other end of the line on the master side.
class PosixPtyPair {
  public:
    // What the slave's line settings say, read from the master side.
    struct LineView {
        std::uint32_t bitsPerSecond = 0;  // 0 when the speed has no number here
        int dataBits = 0;
        char parity = 'N';  // N, E, O, M, S
        int stopBits = 1;
        bool raw = false;  // no echo, no line editing, no output processing
    };

    PosixPtyPair();
    ~PosixPtyPair();
    PosixPtyPair(const PosixPtyPair&) = delete;
    PosixPtyPair& operator=(const PosixPtyPair&) = delete;

    bool Ok() const { return master_ >= 0; }
    const std::string& Error() const { return error_; }
    const std::string& SlavePath() const { return slavePath_; }

    // Reads from the master until `count` bytes came or `timeoutMs` passed.
    std::vector<std::uint8_t> ReadMaster(std::size_t count, int timeoutMs);
    bool WriteMaster(const std::vector<std::uint8_t>& bytes);
    bool ReadLine(LineView& view) const;
    // The other end hangs up, as when a USB adapter is pulled.
    void CloseMaster();
    // Hands the master side over to a program that plays the other end
    // itself (the simulator), which closes it; -1 when there is none.
    int ReleaseMaster();

  private:
    int master_ = -1;
    std::string slavePath_;
    std::string error_;
};

// The bits per second the terminal settings of `fd` name (on a pty master:
// the slave side's), 0 when they cannot be read or name no number.
std::uint32_t TerminalBitsPerSecond(int fd);

}  // namespace vorenta
