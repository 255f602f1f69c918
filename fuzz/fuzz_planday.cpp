// Any bytes read as a Planner day file: never crashes, and the day as shown is what comes back after
// it is stored and read again (whatever interval the window showed before).
#include "common/textfile.h"
#include "planner/planday.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (int shown = 0; shown < PlanDay::IntervalCount; ++shown) {
        const PlanDay::Day day = PlanDay::apply(PlanDay::parse(decodeTextFile(bytes)), shown);
        if (day.entries.size() != PlanDay::slotCount(day.interval))
            std::abort();
        const QString stored = PlanDay::fileText(day);
        const PlanDay::Contents again = PlanDay::parse(decodeTextFile(stored.toUtf8()));
        if (PlanDay::isDamaged(again, shown))
            std::abort();
        const PlanDay::Day reread = PlanDay::apply(again, shown);
        if (reread.interval != day.interval || reread.entries != day.entries)
            std::abort();
    }
    return 0;
}
