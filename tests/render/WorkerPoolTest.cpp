// The worker pool and the split of a range into parts: every task runs
// exactly once whatever the thread count, failures reach the caller, and the
// parts tile the range.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "render/WorkerPool.h"

namespace veyra {
namespace {

using PoolCase = std::tuple<int, int>;  // threads, tasks

class WorkerPoolTest : public ::testing::TestWithParam<PoolCase> {};

TEST_P(WorkerPoolTest, RunsEveryTaskOnceInEveryRun) {
  const auto [threads, tasks] = GetParam();
  WorkerPool pool(threads);
  // Several runs of different counts on one pool: the workers must pick up
  // each new run, and each thread's share must follow the run's count.
  for (const int count : {tasks, tasks + 5, 1, tasks}) {
    std::vector<std::atomic<int>> hits(static_cast<size_t>(count));
    pool.run(count, [&](int i) { hits[static_cast<size_t>(i)].fetch_add(1); });
    for (int i = 0; i < count; ++i)
      ASSERT_EQ(hits[static_cast<size_t>(i)].load(), 1) << "task " << i << " of " << count;
  }
}

TEST_P(WorkerPoolTest, RethrowsAFailureAfterEveryTaskEnded) {
  const auto [threads, tasks] = GetParam();
  WorkerPool pool(threads);
  std::atomic<int> ran{0};
  EXPECT_THROW(pool.run(tasks,
                        [&](int i) {
                          ran.fetch_add(1);
                          if (i == tasks / 2) throw std::runtime_error("task failed");
                        }),
               std::runtime_error);
  EXPECT_EQ(ran.load(), tasks);
  // The pool stays usable after a failure.
  std::atomic<int> again{0};
  pool.run(tasks, [&](int) { again.fetch_add(1); });
  EXPECT_EQ(again.load(), tasks);
}

INSTANTIATE_TEST_SUITE_P(ThreadsAndTasks, WorkerPoolTest,
                         ::testing::Combine(::testing::Values(1, 2, 3, 8), ::testing::Values(1, 2, 7, 64)));

using SpanCase = std::tuple<int32_t, int32_t, int32_t>;  // total, parts, step

class PartOfTest : public ::testing::TestWithParam<SpanCase> {};

TEST_P(PartOfTest, PartsTileTheRangeInWholeSteps) {
  const auto [total, parts, step] = GetParam();
  int32_t expectedBegin = 0;
  for (int32_t p = 0; p < parts; ++p) {
    const Span s = partOf(total, parts, p, step);
    ASSERT_EQ(s.begin, expectedBegin) << "part " << p;
    ASSERT_LE(s.begin, s.end) << "part " << p;
    if (p + 1 < parts) {
      ASSERT_EQ((s.end - s.begin) % step, 0) << "part " << p;
    }
    expectedBegin = s.end;
  }
  EXPECT_EQ(expectedBegin, total);
}

INSTANTIATE_TEST_SUITE_P(Ranges, PartOfTest,
                         ::testing::Values(SpanCase{1, 1, 1}, SpanCase{10, 3, 1}, SpanCase{296, 8, 1},
                                           SpanCase{6000, 8, 32}, SpanCase{300, 9, 32}, SpanCase{31, 4, 32},
                                           SpanCase{129, 2, 128}));

TEST(ForEachSpanTest, CoversTheRangeOnceWithAndWithoutAPool) {
  WorkerPool pool(3);
  for (WorkerPool* p : {static_cast<WorkerPool*>(nullptr), &pool}) {
    std::vector<std::atomic<int>> hits(1000);
    std::atomic<int> calls{0};
    forEachSpan(p, 1000, 10, 4, [&](int32_t begin, int32_t end) {
      calls.fetch_add(1);
      for (int32_t i = begin; i < end; ++i) hits[static_cast<size_t>(i)].fetch_add(1);
    });
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(hits[static_cast<size_t>(i)].load(), 1) << i;
    if (p == nullptr)
      EXPECT_EQ(calls.load(), 1);
    else
      EXPECT_GT(calls.load(), 1) << "a long range is split on a pool of three";
  }
}

// A stage of the dialog's preview (282 lines of 369 four-channel pixels) stays
// on the calling thread with the pool's default parts, and is shared out
// with parts as small as tests set.
TEST(ForEachLineTest, SharesOutAPreviewStageOnlyWithSmallParts) {
  for (const int32_t part : {kMinPartSamples, 4096}) {
    WorkerPool pool(2, part);
    std::atomic<int> calls{0};
    forEachLine(&pool, 282, 369 * 4, [&](int32_t, int32_t) { calls.fetch_add(1); });
    if (part == kMinPartSamples)
      EXPECT_EQ(calls.load(), 1);
    else
      EXPECT_EQ(calls.load(), 8) << "four parts per thread";
  }
}

}  // namespace
}  // namespace veyra
