#ifndef KATREL_WORKER_POOL_H
#define KATREL_WORKER_POOL_H

// A fixed set of helper threads for the search of one record. run(job)
// calls job(0) on the calling thread and job(1) .. job(helpers) on the
// helpers, and returns when all have returned; the helpers then wait for
// the next job. The destructor ends and joins them. A job must not throw.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class WorkerPool
{
  std::vector<std::thread>             threads_;
  std::mutex                           m_;
  std::condition_variable              start_, finished_;
  const std::function<void(unsigned)>* job_        = nullptr;
  unsigned long                        generation_ = 0;
  unsigned                             running_    = 0;
  bool                                 quit_       = false;

  void loop(unsigned index)
  {
    unsigned long seen = 0;
    std::unique_lock<std::mutex> lock(m_);
    for (;;) {
      start_.wait(lock, [&] { return quit_ || generation_ != seen; });
      if (quit_)
        return;
      seen = generation_;
      const std::function<void(unsigned)>* job = job_;
      lock.unlock();
      (*job)(index);
      lock.lock();
      if (--running_ == 0)
        finished_.notify_all();
    }
  }

public:
  explicit WorkerPool(unsigned helpers)
  {
    for (unsigned i = 1; i <= helpers; ++i)
      threads_.emplace_back([this, i] { loop(i); });
  }
  ~WorkerPool()
  {
    {
      std::lock_guard<std::mutex> lock(m_);
      quit_ = true;
    }
    start_.notify_all();
    for (std::thread& t : threads_)
      t.join();
  }
  WorkerPool(const WorkerPool&)            = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  unsigned size() const { return static_cast<unsigned>(threads_.size()) + 1; }

  void run(const std::function<void(unsigned)>& job)
  {
    {
      std::lock_guard<std::mutex> lock(m_);
      job_     = &job;
      running_ = static_cast<unsigned>(threads_.size());
      ++generation_;
    }
    start_.notify_all();
    job(0);
    std::unique_lock<std::mutex> lock(m_);
    finished_.wait(lock, [this] { return running_ == 0; });
  }
};

#endif
