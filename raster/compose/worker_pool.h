// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace wave {

// A few threads kept waiting, so that a frame can share its work among the
// cores without starting threads every frame (that costs about as much as
// the smallest frame).
class WorkerPool {
 public:
  // `workers` counts the caller; 0 means one per core, at most 8.
  explicit WorkerPool(int workers = 0);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int size() const { return workers_; }

  // Runs job(worker) once on every worker, the caller being worker 0, and
  // returns when all have finished. An exception thrown by any worker is
  // rethrown here, after all have finished.
  void RunOnAll(const std::function<void(int)>& job);

  // RunOnAll in two steps: Start has the other workers begin the job and
  // returns at once; Finish runs it on the caller too and returns when all
  // have finished, rethrowing as RunOnAll does. Between the two the caller
  // may do other work, touching nothing the job touches. Any of these
  // throws std::logic_error while a job is started and not yet finished.
  void Start(std::function<void(int)> job);
  void Finish();
  bool started() const { return started_; }

  // Runs item(i, worker) for every i in [0, count), each once, the workers
  // taking the next item as they come free, so that each worker's items
  // come in increasing order. With fewer than `least` items, the caller
  // runs them all.
  void ForEach(std::size_t count,
               const std::function<void(std::size_t, int)>& item,
               std::size_t least = 2);

 private:
  void Serve(int worker);
  void Refuse() const;

  int workers_;
  std::vector<std::thread> threads_;  // started at the first run
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  const std::function<void(int)>* job_ = nullptr;
  std::function<void(int)> owned_;  // the job between Start and Finish
  bool started_ = false;
  std::uint64_t generation_ = 0;
  int running_ = 0;
  bool stopping_ = false;
  std::exception_ptr failure_;
};

}  // namespace wave
