// Entry point of the MPI program. Every process parses the command line.
// Process 0 (the master) waits for one completion message from each worker,
// in rank order, then writes the run header and appends the workers'
// per-record report files in record order. Each worker (ranks 1 to n-1)
// reads the whole input, searches the records that fall to it round-robin,
// writes each record's report into a file of its own, and finally sends the
// master the number of the last record that it searched.

#include <mpi.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "config/global-types-and-parameters.h"
#include "config/katrel-messages.h"
#include "config/number2cstring.h"
#include "driver/file-checks.h"
#include "driver/good-bye.h"
#include "search/CSearchController.h"
#include "sequence/CFile.h"
#include "sequence/CSequence_Mol.h"

namespace {

struct ProcessInfo
{
  int  rank = 0;
  int  size = 1;
  int  pid  = 0;
  char processor_name[MPI_MAX_PROCESSOR_NAME + 1] = {0};
};

void pause_seconds(long seconds)
{
  std::string command = "sleep " + std::to_string(seconds);
  if (std::system(command.c_str()) != 0) {
    // An interrupted pause only shortens the wait; nothing depends on it.
  }
}

void print_three_line_message(const char* first, const std::string& name, const char* last)
{
  general_PrintMessage(stderr, first, "\n");
  general_PrintMessage(stderr, "   \"", name.c_str(), "\"\n");
  general_PrintMessage(stderr, last, "\n");
}

// A worker that cannot go on ends the whole job, so that the master does
// not wait forever for its completion message and mpirun reports failure.
[[noreturn]] void abort_job(int code)
{
  if (code != KATREL_ERR_INVALID_FASTA)
    good_bye_on_error(code);
  std::fflush(stdout);
  std::fflush(stderr);
  MPI_Abort(MPI_COMM_WORLD, code & 0xff);
  std::exit(code & 0xff);
}

std::string per_record_filename(unsigned int record)
{
  std::string name = global_input_filename;
  name += "_temp_";
  name += number2str(record);
  name += ".katrel";
  return name;
}

// Copies a worker's per-record file to the output stream.
void print_all(FILE* os, const std::string& filename)
{
  FILE* in = std::fopen(filename.c_str(), "r");
  if (!in) {
    std::fputs("Error when combining sequences. Not all intermediate files exist.\n\n", stderr);
    return;
  }
  char line[400];
  while (std::fgets(line, sizeof line, in))
    std::fputs(line, os);
  std::fclose(in);
}

void print_run_summary_to_stderr()
{
  creator_message(stderr, "");
  print_search_parameters(stderr, "");
  print_progress_table_head(stderr);
}

// Returns 0, or the code of an error that ended the master's work.
int run_master(const ProcessInfo& info, FILE*& os)
{
  int highest = -1;
  for (int worker = 1; worker < info.size; ++worker) {
    int last = 0;
    MPI_Recv(&last, 1, MPI_INT, worker, 1, MPI_COMM_WORLD, MPI_STATUS_IGNORE);
    general_PrintMessage(stderr, "Resieved: ", number2str(last), "\n");
    std::fflush(stderr);
    if (last > highest)
      highest = last;
  }

  if (!global_output_filename.empty()) {
    os = std::fopen(global_output_filename.c_str(), "w");
    if (!os) {
      os = stdout;
      print_three_line_message("Sorry! Failed to open file", global_output_filename, "as output file.");
      good_bye_on_error(KATREL_ERR_OUTPUT_FILE);
      return KATREL_ERR_OUTPUT_FILE;
    }
  }

  print_run_summary_to_stderr();
  std::fflush(stderr);

  creator_message(os, "# ");
  print_search_parameters(os, "# ");
  print_output_format(os, "# ");
  std::fflush(os);

  unsigned int first = global_sequence_from == 0 ? 1 : global_sequence_from;
  if (highest > 0)
    for (unsigned int k = first; k <= static_cast<unsigned int>(highest); ++k)
      print_all(os, per_record_filename(k));
  return 0;
}

// Searches this worker's share of the records; returns the last record
// number searched (0 when none). Errors end the whole job.
int run_worker(const ProcessInfo& info, CFile& infile, CSequence_Mol& seq)
{
  infile.openfile(global_input_filename.c_str());
  if (infile.fail() || is_directory(global_input_filename)) {
    print_three_line_message("Sorry! The input file ", global_input_filename,
                             "could not be opened. I guess it does not exist.");
    abort_job(KATREL_ERR_INPUT_FILE);
  }

  print_run_summary_to_stderr();
  std::fflush(stderr);

  const long divisor = info.size - 1;
  unsigned int record = 0;
  int last_searched = 0;

  while (!infile.eof()) {
    pause_seconds(10);
    ++record;
    if (global_gaps_to_Ns)
      seq.readFastaSequence_toupper_ambig2N_gaps2N(infile);
    else
      seq.readFastaSequence_toupper_ambig2N_removegaps(infile);

    if (infile.read_error()) {
      print_three_line_message("Sorry! An error occurred while reading the input file", global_input_filename,
                               "The input could not be read to its end.");
      if (!infile.read_error_text().empty())
        general_PrintMessage(stderr, "The compressed data is damaged: ", infile.read_error_text().c_str(), ".\n");
      abort_job(KATREL_ERR_READ_INPUT);
    }
    if (infile.fail() && !infile.eof()) {
      std::fputs("\n\n", stderr);
      std::fputs("An error occurred while reading the input file. It might not be a valid fasta file.\n", stderr);
      general_PrintMessage(stderr, "File position: line ", number2str(infile.line()), "\n");
      std::fflush(stderr);
      abort_job(KATREL_ERR_INVALID_FASTA);
    }

    const long diff = static_cast<long>(record) - info.rank + divisor;
    const long diff_mod = diff % divisor;
    std::fprintf(stderr, "Process %d is checking sequence %u, diff %ld, divisor %ld, diff mod divisor %ld\n\n",
                 info.rank, record, diff, divisor, diff_mod);

    if (diff_mod != 0 || record < global_sequence_from || record > global_sequence_to)
      continue;

    const std::string filename = per_record_filename(record);
    last_searched = static_cast<int>(record);
    std::fprintf(stderr, "Analysing sequence %u on node %d and outfile %s\n", record, info.rank, filename.c_str());
    FILE* out = std::fopen(filename.c_str(), "w");
    if (!out) {
      print_three_line_message("Sorry! Failed to open file", filename, "as output file.");
      abort_job(KATREL_ERR_OUTPUT_FILE);
    }

    report_status(record, seq.name.c_str(), global_min_unit_length);
    update_report_time();

    {
      CSearchController controller(record, seq);
      CsatContainer* result = &controller.imperfect_sats;
      switch (global_search_mode) {
        case 0:
          controller.exact_search_2();
          result = &controller.exact_sats;
          break;
        case 1:
          controller.search_exact_and_extend_to_imperfect_repeats();
          break;
        default:
          controller.complete_imperfect_search(out);
          break;
      }
      controller.remove_hidden(*result);
      controller.report_SATList(out, result->list);
    }

    bool ok = output_ok(out);
    ok = (std::fclose(out) == 0) && ok;
    if (!ok) {
      report_write_error(filename.c_str());
      abort_job(KATREL_ERR_WRITE);
    }
  }
  return last_searched;
}

void print_pid_message(const char* text, int pid)
{
  std::fprintf(stderr, text, pid);
  std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv)
{
  MPI_Init(&argc, &argv);
  ProcessInfo info;
  MPI_Comm_size(MPI_COMM_WORLD, &info.size);
  MPI_Comm_rank(MPI_COMM_WORLD, &info.rank);
  int name_length = 0;
  MPI_Get_processor_name(info.processor_name, &name_length);
  info.pid = static_cast<int>(getpid());

  pause_seconds(3L * info.rank);
  std::fprintf(stderr, "\nHere is process %d from proc %d on machine %s with pid %d.\n\n", info.rank, info.size,
               info.processor_name, info.pid);
  pause_seconds(5L * info.size);

  CSequence_Mol seq;
  seq.residues.reserve(10000000);
  CFile infile;
  FILE* os = stdout;
  time_analysis_started = std::time(nullptr);
  time_next_status_report = time_analysis_started;
  katrel_welcome(stderr);
  std::fflush(stderr);

  int result = read_and_init_parameters(argc, argv);
  if (result == 0 && !global_output_filename.empty() && same_file(global_output_filename, global_input_filename)) {
    // Every process refuses alike, so nobody waits for a message.
    if (info.rank == 0)
      print_three_line_message("Sorry! The output file", global_output_filename,
                               "is the input file. Katrel does not overwrite its input.");
    result = KATREL_ERR_OUTPUT_FILE;
  }
  if (result != 0) {
    good_bye_on_error(result);
    MPI_Finalize();
    return result;
  }

  if (info.rank == 0) {
    result = run_master(info, os);
    if (result != 0) {
      MPI_Finalize();
      return result;
    }
  } else {
    int last = run_worker(info, infile, seq);
    MPI_Send(&last, 1, MPI_INT, 0, 1, MPI_COMM_WORLD);
  }

  print_pid_message("\nAlmost-1 last message from pid %d.\n\n", info.pid);
  print_pid_message("\nAlmost-2 last message from pid %d.\n\n", info.pid);

  if (info.rank == 0) {
    if (os != stdout) {
      if (!good_bye(os, global_output_filename.c_str()) || std::fclose(os) != 0)
        result = KATREL_ERR_WRITE;
    } else if (!output_ok(os)) {
      report_write_error("standard output");
      result = KATREL_ERR_WRITE;
    }
    if (result != 0)
      good_bye_on_error(result);
  }

  print_pid_message("\nAlmost-3 last message from pid %d.\n\n", info.pid);
  std::fprintf(stderr, "\nFinalize process %d from proc %d on machine %s with pid %d.\n\n", info.rank, info.size,
               info.processor_name, info.pid);
  std::fflush(stderr);
  MPI_Finalize();
  print_pid_message("\nLast message from pid %d.\n\n", info.pid);
  return result;
}
