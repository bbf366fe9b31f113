#include "modbus/platform/thread_support.h"

#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

int AvailableProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) == 0)
        return CPU_COUNT(&set) > 0 ? CPU_COUNT(&set) : 1;
    long count = sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? static_cast<int>(count) : 1;
}

long CurrentThreadNativeId() {
    return static_cast<long>(syscall(SYS_gettid));
}

namespace {

// Nice values for the thread priorities; the highest two mirror the +2 and +15 of the
// priority classes the stack asks for.
int NiceFor(TThreadPriority priority) {
    switch (priority) {
    case tpIdle:
        return 19;
    case tpLowest:
        return 10;
    case tpLower:
        return 5;
    case tpNormal:
        return 0;
    case tpHigher:
        return -1;
    case tpHighest:
        return -2;
    case tpTimeCritical:
        return -15;
    }
    return 0;
}

} // namespace

bool ApplyThreadPriority(long nativeId, TThreadPriority priority) {
    // On Linux the nice value of a thread id changes that thread only. Raising it needs
    // privileges; a refusal is not an error for the stack.
    return setpriority(PRIO_PROCESS, static_cast<id_t>(nativeId), NiceFor(priority)) == 0;
}
