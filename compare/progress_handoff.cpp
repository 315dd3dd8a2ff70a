// The hand-off of a run's reports from its thread to the showing thread.
#include "compare/progress_handoff.h"

static_assert(PROGRESS_STARTED == PROGRESS_READ + 1, "the reports other than reads count up from PROGRESS_READ");

void StartHandOff(ProgressHandOff *handOff)
{
    handOff->reachedPercent.store(PROGRESS_READ);
    handOff->readsEnded.store(0);
    handOff->shownPercent = PROGRESS_READ;
    handOff->readsShown = 0;
}

// Release: what the run wrote before a report is seen with it.
static void HandOver(void *context, int percent)
{
    ProgressHandOff *handOff = static_cast<ProgressHandOff *>(context);
    if (percent == PROGRESS_READ)
        handOff->readsEnded.fetch_add(1, std::memory_order_release);
    else
        handOff->reachedPercent.store(percent, std::memory_order_release);
}

ProgressSink HandOffSink(ProgressHandOff *handOff)
{
    ProgressSink sink = {HandOver, handOff};
    return sink;
}

void PassArrivedReports(ProgressHandOff *handOff, ProgressSink shown)
{
    int reached = handOff->reachedPercent.load(std::memory_order_acquire);
    uint32_t reads = handOff->readsEnded.load(std::memory_order_acquire);
    while (handOff->shownPercent < reached)
        shown.report(shown.context, ++handOff->shownPercent);
    for (; handOff->readsShown != reads; ++handOff->readsShown)
        shown.report(shown.context, PROGRESS_READ);
}
