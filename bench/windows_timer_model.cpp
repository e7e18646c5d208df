// The projected time of an update on a Windows PC, today's waits against the
// new ones, on a model of Windows' timers (see platform/fake/WindowsTimerModel.h).
// A model, not a measurement: no Windows PC is involved, and Wine cannot show
// this because it sleeps on Linux's timers.
//   windows_timer_model [PAGES]   (default 256)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string>

#include "TimerModelRun.h"

namespace {

using vorenta::TimedSerialDevice;
using vorenta::WindowsTickModel;
using vorenta::test::RunUpdateOnTimerModel;
using vorenta::test::TimerModelResult;
using vorenta::test::TimerModelSetup;

double MeanMs(const std::vector<std::uint64_t>& us) {
    if (us.empty()) {
        return 0;
    }
    return static_cast<double>(std::accumulate(us.begin(), us.end(), std::uint64_t{0})) /
           static_cast<double>(us.size()) / 1000.0;
}

double MaxMs(const std::vector<std::uint64_t>& us) {
    return us.empty() ? 0 : static_cast<double>(*std::max_element(us.begin(), us.end())) / 1000.0;
}

struct Way {
    const char* name;
    TimerModelSetup setup;
};

void Scenario(const char* title, std::size_t pages, std::uint64_t delayUs, std::uint64_t jitterUs) {
    TimerModelSetup base;
    base.firmwareBytes = pages * 256;
    base.answerDelayUs = delayUs;
    base.answerJitterUs = jitterUs;

    TimerModelSetup own = base;
    own.clock = WindowsTickModel::Clock::Fine;
    own.inputWait = TimedSerialDevice::InputWait::BlockInDriver;
    own.timerPeriodUs = 1;
    TimerModelSetup raised = own;
    raised.timerPeriodUs = 0;
    raised.raisesTimerWhileOpen = true;
    TimerModelSetup highResolution = raised;
    highResolution.highResolutionTimer = true;

    const Way ways[] = {
        {"the line's own (every wait exact)", own},
        {"today (GetTickCount and Sleep; replies looked for between sleeps)", base},
        {"new, timer raised to 1 ms", raised},
        {"new, high-resolution timer", highResolution},
    };
    std::printf("\n%s\n", title);
    double ownSeconds = 0;
    for (const Way& way : ways) {
        const TimerModelResult r = RunUpdateOnTimerModel(way.setup);
        if (!r.succeeded || r.pages != pages) {
            std::printf("  %s: the update did not complete on the model\n", way.name);
            std::exit(1);
        }
        const double seconds = static_cast<double>(r.sessionUs) / 1e6;
        if (ownSeconds == 0) {
            ownSeconds = seconds;
        }
        std::printf("  %s\n    %.1f s (x%.2f of the line's own), %.1f ms a page\n", way.name,
                    seconds, seconds / ownSeconds, seconds * 1000 / static_cast<double>(pages));
        std::printf(
            "    pauses %.1f ms on average, %.1f at most; checksum to reply taken %.1f ms "
            "on average;\n    replies taken %.1f ms after they arrived on average, %.1f "
            "at most\n",
            MeanMs(r.pausesUs), MaxMs(r.pausesUs), MeanMs(r.checksumToReplyUs),
            MeanMs(r.replyDelaysUs), MaxMs(r.replyDelaysUs));
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t pages = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    if (pages == 0 || pages > 4096) {
        std::fprintf(stderr, "usage: windows_timer_model [PAGES, 1 to 4096]\n");
        return 2;
    }
    std::printf(
        "MODEL of a Windows PC's timers, not a measurement: %zu pages at 38400 bit/s.\n"
        "Default timer 15.625 ms (GetTickCount in 15.625 ms steps, Sleep ends on its\n"
        "ticks); the whole update from Begin Update to its outcome, the 500 ms polls\n"
        "and the base preparation included. A page's pauses: reply to address, address\n"
        "to data, data to checksum.\n",
        pages);
    Scenario("The module answers as a page's checksum has left (as vorenta-sim does):", pages, 0,
             0);
    Scenario("The module answers 30 to 45.6 ms after the checksum (after the fourth pause):", pages,
             30000, 15625);
    return 0;
}
