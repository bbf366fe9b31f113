#pragma once
// Operating-system parts of the worker threads.

#include "modbus/cross_thread.h"

// Number of processors available to this process (at least 1).
int AvailableProcessors();
// The calling thread's system id, used to change its priority from another thread.
long CurrentThreadNativeId();
// Best effort; false when the system refuses.
bool ApplyThreadPriority(long nativeId, TThreadPriority priority);
