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

// The smallest part, in samples, that the renders made from now on hand to
// a thread: the number set by setWorkerPartSamples, or else
// kMinPartSamples.
int workerPartSamples();

// Sets the smallest part of later renders; 0 or less returns to
// kMinPartSamples. Tests use it to share out pictures too small to be
// shared otherwise; the module itself never calls it.
void setWorkerPartSamples(int samples);

}  // namespace veyra
