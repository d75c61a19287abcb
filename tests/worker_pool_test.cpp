// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/compose/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace wave {
namespace {

TEST(WorkerPoolTest, RunsEveryWorkerOnceAndPassesOnAFailure) {
  WorkerPool pool(3);
  for (int run = 0; run < 50; ++run) {
    std::atomic<int> seen[3] = {0, 0, 0};
    pool.RunOnAll([&](int worker) { ++seen[worker]; });
    for (const auto& s : seen) ASSERT_EQ(s.load(), 1) << "run " << run;
  }
  std::atomic<int> finished{0};
  EXPECT_THROW(pool.RunOnAll([&](int worker) {
    if (worker == 2) throw std::runtime_error("out of memory");
    ++finished;
  }),
               std::runtime_error);
  EXPECT_EQ(finished.load(), 2);  // the others ran to the end
  std::atomic<int> after{0};
  pool.RunOnAll([&](int) { ++after; });
  EXPECT_EQ(after.load(), 3);
}

// One job at a time: a second, while the first runs, is refused, and the
// first still finishes; a pool of one runs the job on the caller alone.
TEST(WorkerPoolTest, RefusesASecondJobWhileOneRuns) {
  for (const int workers : {1, 3}) {
    WorkerPool pool(workers);
    std::atomic<int> ran{0};
    pool.Start([&](int) { ++ran; });
    EXPECT_THROW(pool.Start([](int) {}), std::logic_error);
    EXPECT_THROW(pool.RunOnAll([](int) {}), std::logic_error);
    EXPECT_THROW(pool.ForEach(10, [](std::size_t, int) {}), std::logic_error);
    pool.Finish();
    EXPECT_EQ(ran.load(), workers);
    pool.RunOnAll([&](int) { ++ran; });
    EXPECT_EQ(ran.load(), 2 * workers);
  }
}

}  // namespace
}  // namespace wave
