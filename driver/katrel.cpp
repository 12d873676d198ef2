// Entry point of the serial program: parse the command line, open the files,
// write the run header, then for every record of the input file: read,
// count, and (inside the requested range) search, filter, report and mask.

#include <cstdio>
#include <ctime>
#include <string>

#include "config/global-types-and-parameters.h"
#include "config/katrel-messages.h"
#include "config/number2cstring.h"
#include "driver/good-bye.h"
#include "driver/file-checks.h"
#include "driver/record_read_ahead.h"
#include "driver/run-steps.h"
#include "search/CSearchController.h"
#include "sequence/CFile.h"
#include "sequence/CSequence_Mol.h"

namespace {

void print_three_line_message(const char* first, const std::string& name, const char* last)
{
  general_PrintMessage(stderr, first, "\n");
  general_PrintMessage(stderr, "   \"", name.c_str(), "\"\n");
  general_PrintMessage(stderr, last, "\n");
}

void report_invalid_fasta(const CFile& infile)
{
  general_PrintMessage(stderr, "\n\n");
  general_PrintMessage(stderr, "An error occurred while reading the input file. It might not be a valid fasta file.\n");
  general_PrintMessage(stderr, "File position: line ", number2str(infile.line()), "\n");
  std::fflush(stderr);
}

void report_read_error(const CFile& infile)
{
  print_three_line_message("Sorry! An error occurred while reading the input file", global_input_filename,
                           "The input could not be read to its end.");
  if (!infile.read_error_text().empty())
    general_PrintMessage(stderr, "The compressed data is damaged: ", infile.read_error_text().c_str(), ".\n");
  std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv)
{
  time_analysis_started = std::time(nullptr);
  time_next_status_report = time_analysis_started;

  katrel_welcome(stderr);
  std::fflush(stderr);

  int result = read_and_init_parameters(argc, argv);
  if (result != 0) {
    good_bye_on_error(result);
    return result;
  }

  CSequence_Mol seq;
  seq.residues.reserve(10000000);
  CFile infile;

  if (is_directory(global_input_filename)) {
    print_three_line_message("Sorry! The input file ", global_input_filename,
                             "is a directory, not a FASTA file.");
    good_bye_on_error(KATREL_ERR_INPUT_FILE);
    return KATREL_ERR_INPUT_FILE;
  }
  infile.openfile(global_input_filename.c_str());
  if (infile.fail()) {
    print_three_line_message("Sorry! The input file ", global_input_filename,
                             "could not be opened. I guess it does not exist.");
    good_bye_on_error(KATREL_ERR_INPUT_FILE);
    return KATREL_ERR_INPUT_FILE;
  }

  const bool masking = global_mask_X || global_mask_lower;
  const std::string masked_filename = global_input_filename + ".masked";

  // Never open for writing a file that is the input: it would be truncated
  // before it is read.
  if (!global_output_filename.empty() && same_file(global_output_filename, global_input_filename)) {
    print_three_line_message("Sorry! The output file", global_output_filename,
                             "is the input file. Katrel does not overwrite its input.");
    good_bye_on_error(KATREL_ERR_OUTPUT_FILE);
    return KATREL_ERR_OUTPUT_FILE;
  }
  if (masking && !global_output_filename.empty() && same_file(global_output_filename, masked_filename)) {
    print_three_line_message("Sorry! The output file", global_output_filename,
                             "is the file for the masked sequences. Please choose another output file.");
    good_bye_on_error(KATREL_ERR_OUTPUT_FILE);
    return KATREL_ERR_OUTPUT_FILE;
  }

  FILE* os = stdout;
  if (!global_output_filename.empty()) {
    os = std::fopen(global_output_filename.c_str(), "w");
    if (!os) {
      print_three_line_message("Sorry! Failed to open file", global_output_filename, "as output file.");
      good_bye_on_error(KATREL_ERR_OUTPUT_FILE);
      return KATREL_ERR_OUTPUT_FILE;
    }
  }

  creator_message(stderr, "");
  print_search_parameters(stderr, "");
  print_progress_table_head(stderr);
  std::fflush(stderr);

  creator_message(os, "# ");
  print_search_parameters(os, "# ");
  print_output_format(os, "# ");
  std::fflush(os);

  FILE* masked = nullptr;
  if (masking) {
    masked = std::fopen(masked_filename.c_str(), "w");
    if (!masked) {
      print_three_line_message("Sorry! Failed to open file", masked_filename, "as file for the masked sequences.");
      good_bye_on_error(KATREL_ERR_MASKED_FILE);
      return KATREL_ERR_MASKED_FILE;
    }
  }

  // Counts, searches, reports and masks one record; nonzero: the run ends
  // with that result.
  unsigned int record_counter = 0;
  auto process = [&](CSequence_Mol& rec) -> int {
    ++record_counter;
    if (record_counter < global_sequence_from || record_counter > global_sequence_to)
      return 0;

    report_status(record_counter, rec.name.c_str(), global_min_unit_length);
    update_report_time();

    CSearchController controller(record_counter, rec);
    CsatContainer& result_sats = search_and_filter(controller, os);
    controller.report_SATList(os, result_sats.list);

    // A failed write would lose the report: stop at once instead of
    // searching the remaining records for nothing.
    if (std::ferror(os)) {
      report_write_error(global_output_filename.empty() ? "standard output" : global_output_filename.c_str());
      good_bye_on_error(KATREL_ERR_WRITE);
      return KATREL_ERR_WRITE;
    }

    if (masked) {
      mask_repeats(rec, result_sats);
      rec.writeSequence_fill_in_gaps_and_stars(masked, 80);
    }
    return 0;
  };

  if (global_threads > 1) {
    // The next record is read while one is searched.
    RecordReadAhead reader(infile);
    for (;;) {
      CSequence_Mol*                rec     = nullptr;
      const RecordReadAhead::Outcome outcome = reader.next(rec);
      if (outcome == RecordReadAhead::END)
        break;
      if (outcome == RecordReadAhead::READ_ERROR) {
        report_read_error(infile);
        good_bye_on_error(KATREL_ERR_READ_INPUT);
        return KATREL_ERR_READ_INPUT;
      }
      if (outcome == RecordReadAhead::INVALID_FASTA) {
        report_invalid_fasta(infile);
        return KATREL_ERR_INVALID_FASTA;
      }
      const int r = process(*rec);
      if (r != 0)
        return r;
      reader.done();
    }
  } else {
    while (!infile.eof()) {
      if (global_gaps_to_Ns)
        seq.readFastaSequence_toupper_ambig2N_gaps2N(infile);
      else
        seq.readFastaSequence_toupper_ambig2N_removegaps(infile);

      if (infile.read_error()) {
        report_read_error(infile);
        good_bye_on_error(KATREL_ERR_READ_INPUT);
        return KATREL_ERR_READ_INPUT;
      }
      if (infile.fail() && !infile.eof()) {
        report_invalid_fasta(infile);
        return KATREL_ERR_INVALID_FASTA;
      }
      const int r = process(seq);
      if (r != 0)
        return r;
    }
  }

  if (masked) {
    bool ok = output_ok(masked);
    ok = (std::fclose(masked) == 0) && ok;
    if (!ok) {
      report_write_error(masked_filename.c_str());
      good_bye_on_error(KATREL_ERR_WRITE);
      return KATREL_ERR_WRITE;
    }
  }

  const char* os_name = global_output_filename.empty() ? "standard output" : global_output_filename.c_str();
  if (!good_bye(os, os_name)) {
    good_bye_on_error(KATREL_ERR_WRITE);
    return KATREL_ERR_WRITE;
  }
  if (os != stdout && std::fclose(os) != 0) {
    report_write_error(os_name);
    good_bye_on_error(KATREL_ERR_WRITE);
    return KATREL_ERR_WRITE;
  }
  return 0;
}
