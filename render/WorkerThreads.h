// How many threads the renders of this process use for their pixel work.
#pragma once

namespace veyra {

// The thread count for renders made from now on, the calling thread
// included: the number set by setWorkerThreads, or else the processor count
// (1 where the system does not say).
int workerThreads();

// Sets the thread count of later renders; 0 or less returns to the processor
// count. Tests and benchmarks use it to compare counts; the module itself
// never calls it.
void setWorkerThreads(int threads);

}  // namespace veyra
