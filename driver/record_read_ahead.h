#ifndef KATREL_RECORD_READ_AHEAD_H
#define KATREL_RECORD_READ_AHEAD_H

// Reads the records of the input file on a thread of its own, one record
// ahead of the search: while the driver searches and reports one record,
// the next one is read into the other of two records. The driver takes
// the records in file order with next() and gives each back with done()
// once it has written it; so at most two records are held at once.
//
// The reader stops at the end of the input, at a read error and at input
// that is not valid FASTA; next() then tells which, after every record
// before it, and the CFile may be read for the message (the reader thread
// no longer touches it).

#include <condition_variable>
#include <mutex>
#include <thread>

#include "sequence/CFile.h"
#include "sequence/CSequence_Mol.h"

class RecordReadAhead
{
public:
  enum Outcome { RECORD, END, READ_ERROR, INVALID_FASTA };

  explicit RecordReadAhead(CFile& infile);
  ~RecordReadAhead();
  RecordReadAhead(const RecordReadAhead&)            = delete;
  RecordReadAhead& operator=(const RecordReadAhead&) = delete;

  // The next record (in seq) or how the input ended.
  Outcome next(CSequence_Mol*& seq);
  // The record handed out last may be read into again.
  void done();

private:
  void read_loop();

  CFile&                  infile_;
  CSequence_Mol           records_[2];
  int                     filled_    = 0;  // records read and not yet handed out
  int                     free_      = 2;  // records the reader may read into
  int                     read_into_ = 0;  // the record the reader fills next
  int                     hand_out_  = 0;  // the record next() hands out next
  bool                    ended_     = false;
  Outcome                 end_       = END;
  bool                    stop_      = false;
  std::mutex              m_;
  std::condition_variable changed_;
  std::thread             thread_;
};

#endif
