// The reports of a run that goes on a thread of its own, carried to the
// thread that shows them. Counters only, no lock and no kernel object: under
// Wine each wait on one asks the server, which the window's painting keeps
// busy, so the showing side looks at the counters when it wakes.
#ifndef TARNLIGHT_PROGRESS_HANDOFF_H
#define TARNLIGHT_PROGRESS_HANDOFF_H

#include <atomic>
#include <cstdint>

#include "compare/engine.h"

// A run reports PROGRESS_STARTED, then each percentage upward once, and its
// ended reads: so the highest value and a count of reads say it all.
struct ProgressHandOff {
    std::atomic<int> reachedPercent;    // written by the run's thread only
    std::atomic<uint32_t> readsEnded;   // likewise
    int shownPercent;                   // the showing thread's own
    uint32_t readsShown;
};

void StartHandOff(ProgressHandOff *handOff);

// The run's side: a sink whose reports wait in handOff.
ProgressSink HandOffSink(ProgressHandOff *handOff);

// The showing side: passes to shown what arrived since the last look, each
// percentage once and in order, then one PROGRESS_READ for each read that
// ended meanwhile.
void PassArrivedReports(ProgressHandOff *handOff, ProgressSink shown);

#endif
