#include "update/BasePreparation.h"

namespace vorenta {

namespace {

// One command at one speed, then time for the base to act and a clean line.
void SendAtSpeed(CRS232& port, ITickSource& clock, int speed, const char* command) {
    port.SetLineSettings(speed, kSessionParity, kSessionDataBitsChar);
    port.WriteString(command);
    DelayMs(clock, kBaseCommandSettleMs);
    port.PurgeAndWait(kBasePurgeSettleMs);
}

}  // namespace

void PrepareBaseStation(CRS232& port, ITickSource& clock) {
    SendAtSpeed(port, clock, kBaseFirstSpeed, kBaseSpeedCommand);
    SendAtSpeed(port, clock, kBaseSecondSpeed, kBaseSpeedCommand);
    SendAtSpeed(port, clock, kSessionBaudRate, kBaseWakeCommand);

    port.WriteString(kBaseRelayCommand);
    DelayMs(clock, kBaseRelaySettleHalfMs);
    DelayMs(clock, kBaseRelaySettleHalfMs);
    port.PurgeAndWait(kBasePurgeSettleMs);

    // Setting the speed again also drops whatever the base said meanwhile.
    port.SetLineSettings(kSessionBaudRate, kSessionParity, kSessionDataBitsChar);
    DelayMs(clock, kBaseCommandSettleMs);
}

void ReleaseBase(CRS232& port, ITickSource& clock) {
    port.WriteString(kBaseReleaseCommand);
    DelayMs(clock, kBaseReleaseSettleMs);
}

}  // namespace vorenta
