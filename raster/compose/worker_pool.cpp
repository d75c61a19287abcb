// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/compose/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <utility>

namespace wave {

WorkerPool::WorkerPool(int workers) : workers_(workers) {
  if (workers_ <= 0) {
    workers_ =
        std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
  }
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void WorkerPool::RunOnAll(const std::function<void(int)>& job) {
  Start(job);
  Finish();
}

void WorkerPool::Refuse() const {
  // The job running points into its caller's state, which a second job
  // would be handed while the first still reads it.
  if (started_) throw std::logic_error("WorkerPool: a job is already running");
}

void WorkerPool::Start(std::function<void(int)> job) {
  Refuse();
  owned_ = std::move(job);
  started_ = true;
  if (workers_ == 1) return;
  if (threads_.empty()) {
    for (int w = 1; w < workers_; ++w) {
      threads_.emplace_back(&WorkerPool::Serve, this, w);
    }
  }
  {
    std::lock_guard lock(mutex_);
    job_ = &owned_;
    running_ = workers_ - 1;
    failure_ = nullptr;
    ++generation_;
  }
  wake_.notify_all();
}

void WorkerPool::Finish() {
  if (!started_) return;
  started_ = false;
  std::exception_ptr mine;
  try {
    owned_(0);
  } catch (...) {
    mine = std::current_exception();
  }
  if (workers_ > 1) {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return running_ == 0; });
    job_ = nullptr;
  }
  owned_ = nullptr;
  if (mine) std::rethrow_exception(mine);
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void WorkerPool::ForEach(std::size_t count,
                         const std::function<void(std::size_t, int)>& item,
                         std::size_t least) {
  Refuse();
  if (workers_ == 1 || count < std::max<std::size_t>(least, 2)) {
    for (std::size_t i = 0; i < count; ++i) item(i, 0);
    return;
  }
  std::atomic<std::size_t> next{0};
  RunOnAll([&](int worker) {
    for (std::size_t i; (i = next.fetch_add(1)) < count;) item(i, worker);
  });
}

void WorkerPool::Serve(int worker) {
  std::uint64_t seen = 0;
  for (;;) {
    const std::function<void(int)>* job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
      if (stopping_) return;
      seen = generation_;
      job = job_;
    }
    std::exception_ptr failure;
    try {
      (*job)(worker);
    } catch (...) {
      failure = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      if (failure && !failure_) failure_ = failure;
      if (--running_ == 0) done_.notify_one();
    }
  }
}

}  // namespace wave
