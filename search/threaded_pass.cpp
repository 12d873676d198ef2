// The passes of unit lengths 2 and up of the direct search on several
// threads, with exactly the result of the one-thread pass.
//
// A seed of the direct search is tried when its border is available in the
// anchor marks, and then grown unless the tests of its own letters reject
// it: an N in the seed, a unit of one repeated letter, or the seed bound's
// proof that it cannot reach the minimum score. The marks change as repeats
// are kept, so the order of the seeds matters; the other tests do not read
// the marks (they read the sequence and the parameters only) and are most
// of the work. So the seeds are cut into blocks, pass after pass, and every
// thread takes the next block in that order and works out, for each seed of
// it, whether those tests reject it (its verdict). This thread then goes
// through the seeds in the one-thread order: border test on the marks as
// they are, then the verdict, then growing and keeping exactly as the plain
// pass does. When the verdict it needs is not ready it works out the next
// block itself. A verdict is a proof about the seed alone, so it is the
// same whichever thread works it out and whenever; a seed that the bound
// does not reject is grown, and growing a seed that cannot be kept keeps
// nothing, so the result does not depend on how strong the bound is in a
// block (a block starts without the state that the one-thread pass carries
// from seed to seed, and may take the bound's slower form near its start).

#include "search/CSearchController.h"

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "config/global-types-and-parameters.h"
#include "config/katrel-messages.h"
#include "search/seed_bound.h"

namespace {

enum Verdict : unsigned char { GROW = 0, REJECT = 1 };

struct Task
{
  unsigned int k;
  long         lo, hi;  // seed offsets lo .. hi - 1
};

// The verdicts of the seeds lo .. hi - 1 of unit length k (K = k, or 0).
template <unsigned K, typename W = std::uint64_t>
void block_verdicts(const char* b, unsigned long n, unsigned int k, long lo, long hi, unsigned char* out)
{
  SeedBound<K, W> bound(b, n, k);
  SeedTests<K, W> tests(bound, b, n, k, CSearchController::minScores[k], CSearchController::search_shortcuts, lo,
                     hi);
  std::memset(out, REJECT, static_cast<std::size_t>(hi - lo));
  for (const char* s = b + lo; s < b + hi; ++s) {
    tests.step(s);
    const char* skip_to;
    if (tests.rejects(s, skip_to))
      s = skip_to;  // the verdicts of the seeds passed over stay REJECT
    else
      out[s - (b + lo)] = GROW;
  }
}

void verdicts(const char* b, unsigned long n, const Task& t, unsigned char* out)
{
  switch (t.k) {
  case 2: block_verdicts<2>(b, n, t.k, t.lo, t.hi, out); break;
  case 3: block_verdicts<3>(b, n, t.k, t.lo, t.hi, out); break;
  case 4: block_verdicts<4>(b, n, t.k, t.lo, t.hi, out); break;
  case 5: block_verdicts<5>(b, n, t.k, t.lo, t.hi, out); break;
  case 6: block_verdicts<6>(b, n, t.k, t.lo, t.hi, out); break;
  case 7: block_verdicts<7>(b, n, t.k, t.lo, t.hi, out); break;
  case 8: block_verdicts<8>(b, n, t.k, t.lo, t.hi, out); break;
  case 9: block_verdicts<9>(b, n, t.k, t.lo, t.hi, out); break;
  case 10: block_verdicts<10>(b, n, t.k, t.lo, t.hi, out); break;
  default:
    if (t.k > 80)
      block_verdicts<0>(b, n, t.k, t.lo, t.hi, out);  // beyond the bound's longest unit
    else if (t.k > 64)
      block_verdicts<0, phase_word256>(b, n, t.k, t.lo, t.hi, out);
    else if (t.k > 32)
      block_verdicts<0, phase_word128>(b, n, t.k, t.lo, t.hi, out);
    else
      block_verdicts<0>(b, n, t.k, t.lo, t.hi, out);
    break;
  }
}

// The blocks of all passes in the one-thread order, worked out by any
// thread, at most SLOTS_PER_THREAD blocks per thread ahead of the block
// being used.
class VerdictBlocks
{
  static const unsigned SLOTS_PER_THREAD = 4;

  const char* const                       b_;
  const unsigned long                     n_;
  const std::vector<Task>&                tasks_;
  std::vector<std::vector<unsigned char>> slots_;
  std::vector<long>                       ready_;  // the task whose verdicts a slot holds, or -1
  std::size_t                             next_     = 0;  // the next task to work out
  std::size_t                             consumed_ = 0;  // tasks used up
  bool                                    stop_     = false;
  std::mutex                              m_;
  std::condition_variable                 done_, room_;

  bool claimable() const { return next_ < tasks_.size() && next_ < consumed_ + slots_.size(); }

  // Works out the task claimed as t (the lock is not held) and publishes it.
  void work(std::size_t t, std::unique_lock<std::mutex>& lock)
  {
    lock.unlock();
    verdicts(b_, n_, tasks_[t], slots_[t % slots_.size()].data());
    lock.lock();
    ready_[t % slots_.size()] = static_cast<long>(t);
    done_.notify_all();
  }

public:
  VerdictBlocks(const char* b, unsigned long n, const std::vector<Task>& tasks, unsigned threads)
    : b_(b), n_(n), tasks_(tasks), slots_(SLOTS_PER_THREAD * threads, std::vector<unsigned char>(static_cast<std::size_t>(CSearchController::thread_block))),
      ready_(slots_.size(), -1)
  {
  }

  // The loop of a helper thread.
  void help()
  {
    std::unique_lock<std::mutex> lock(m_);
    for (;;) {
      room_.wait(lock, [this] { return stop_ || claimable(); });
      if (stop_ || next_ >= tasks_.size())
        return;
      work(next_++, lock);
    }
  }

  // The verdicts of task t (tasks are used in order); works out blocks
  // itself while they are not ready.
  const unsigned char* get(std::size_t t)
  {
    std::unique_lock<std::mutex> lock(m_);
    while (ready_[t % slots_.size()] != static_cast<long>(t)) {
      if (claimable())
        work(next_++, lock);
      else
        done_.wait(lock);
    }
    return slots_[t % slots_.size()].data();
  }

  // Task t is used up; its slot may take a later block.
  void release(std::size_t t)
  {
    std::lock_guard<std::mutex> lock(m_);
    consumed_ = t + 1;
    room_.notify_all();
  }

  void stop()
  {
    std::lock_guard<std::mutex> lock(m_);
    stop_ = true;
    room_.notify_all();
  }
};

} // namespace

void CSearchController::threaded_passes(unsigned int k_first, bool unit_length_1, CAnchorSeq& anchors,
                                        CsatList& result)
{
  const char* const  b      = sequence.residues_begin();
  const unsigned int n      = sequence.length();
  const char* const  marks  = anchors.mark0;

  const long        block  = thread_block;

  std::vector<Task> tasks;
  for (unsigned int k = k_first; k <= global_max_unit_length && k < n; ++k)
    for (long lo = 0; lo < static_cast<long>(n - k); lo += block)
      tasks.push_back(Task{k, lo, lo + block < static_cast<long>(n - k) ? lo + block : static_cast<long>(n - k)});

  const unsigned           helpers = static_cast<unsigned>(global_threads) - 1;
  VerdictBlocks            blocks(b, n, tasks, helpers + 1);
  std::vector<std::thread> threads;
  for (unsigned h = 0; h < helpers; ++h)
    threads.emplace_back([&blocks] { blocks.help(); });

  // The helpers start on the verdicts of unit length 2 while this thread
  // runs the pass of unit length 1, which has marks of its own.
  if (unit_length_1) {
    unit_len_1_complete_imperfect_search(anchors, result);
    anchors.reset();
  }

  Csat* in_hand      = nullptr;
  long  status_block = -1;
  for (std::size_t t = 0; t < tasks.size(); ++t) {
    const Task&          task = tasks[t];
    const long           L    = task.k;
    const unsigned char* v    = blocks.get(t);
    if (task.lo == 0)
      status_block = -1;
    for (long i = task.lo; i < task.hi; ++i) {
      if ((i >> 8) != status_block) {
        status_block = i >> 8;
        if (check_report_status())
          report_status(sequence_number, sequence.name.c_str(), task.k);
      }
      const bool a_s  = marks[i] == 'a';
      const bool a_e1 = marks[i + L - 1] == 'a';
      if (!((a_s && (a_e1 || marks[i + L] == 'a')) || (marks[i - 1] == 'a' && a_e1)))
        continue;
      if (v[i - task.lo] == REJECT)
        continue;
      grow_and_keep(in_hand, b + i, task.k, anchors, result);
    }
    blocks.release(t);
    // The one-thread pass hands back the record in hand at the end of
    // each unit length.
    if ((t + 1 == tasks.size() || tasks[t + 1].k != task.k) && in_hand) {
      sat_alloc.give_back(in_hand);
      in_hand = nullptr;
    }
  }
  blocks.stop();
  for (std::thread& th : threads)
    th.join();
}
