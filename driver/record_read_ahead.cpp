#include "driver/record_read_ahead.h"

#include "config/global-types-and-parameters.h"

RecordReadAhead::RecordReadAhead(CFile& infile) : infile_(infile)
{
  for (CSequence_Mol& r : records_)
    r.residues.reserve(10000000);
  thread_ = std::thread([this] { read_loop(); });
}

RecordReadAhead::~RecordReadAhead()
{
  {
    std::lock_guard<std::mutex> lock(m_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void RecordReadAhead::read_loop()
{
  for (;;) {
    int slot;
    {
      std::unique_lock<std::mutex> lock(m_);
      changed_.wait(lock, [this] { return stop_ || free_ > 0; });
      if (stop_)
        return;
      slot = read_into_;
    }
    // The same reads and tests as the one-thread driver makes.
    Outcome outcome = RECORD;
    if (infile_.eof())
      outcome = END;
    else {
      if (global_gaps_to_Ns)
        records_[slot].readFastaSequence_toupper_ambig2N_gaps2N(infile_);
      else
        records_[slot].readFastaSequence_toupper_ambig2N_removegaps(infile_);
      if (infile_.read_error())
        outcome = READ_ERROR;
      else if (infile_.fail() && !infile_.eof())
        outcome = INVALID_FASTA;
    }
    std::lock_guard<std::mutex> lock(m_);
    if (outcome != RECORD) {
      ended_ = true;
      end_   = outcome;
      changed_.notify_all();
      return;
    }
    --free_;
    ++filled_;
    read_into_ = 1 - read_into_;
    changed_.notify_all();
  }
}

RecordReadAhead::Outcome RecordReadAhead::next(CSequence_Mol*& seq)
{
  std::unique_lock<std::mutex> lock(m_);
  changed_.wait(lock, [this] { return filled_ > 0 || ended_; });
  if (filled_ == 0)
    return end_;
  --filled_;
  seq       = &records_[hand_out_];
  hand_out_ = 1 - hand_out_;
  return RECORD;
}

void RecordReadAhead::done()
{
  {
    std::lock_guard<std::mutex> lock(m_);
    ++free_;
  }
  changed_.notify_all();
}
