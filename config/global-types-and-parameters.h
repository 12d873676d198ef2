#ifndef KATREL_GLOBAL_TYPES_AND_PARAMETERS_H
#define KATREL_GLOBAL_TYPES_AND_PARAMETERS_H

// The global search parameters of a run. `init_param` sets the defaults,
// `read_and_init_parameters` fills them from the command line and validates
// them; afterwards every part of the program only reads them.

#include <string>

extern std::string  global_input_filename;
extern std::string  global_output_filename;

extern unsigned int global_sequence_from;
extern unsigned int global_sequence_to;

extern int          global_search_mode;           // 0 exact, 1 extendExact, 2 imperfect
extern int          global_N_and_perfection_mode; // 0 asMismatch, 1 asNeutral, 2 asMatch
extern int          global_report_unit_mode;      // 0 as found, 1 normal form, 2 with reverse complement
extern int          global_print_sat_seq_mode;    // 0 none, 1 sequence, 2 alignment
extern int          global_print_sat_mode;        // output format 0..4
extern bool         global_sequenceInfoAsComment;
extern int          global_flanking;
extern int          global_maximum_recursion_depth;
extern int          global_maximum_scorereduction;
extern unsigned int global_min_unit_length;
extern unsigned int global_max_unit_length;
extern bool         global_treat_Ns_as_missense;
extern int          global_Ns_allowed_in_a_row;
extern int          global_min_score;
extern int          global_min_score_a;
extern float        global_min_score_bx;
extern int          global_min_length;
extern int          global_min_length_a;
extern float        global_min_length_bx;
extern float        global_min_perfection;
extern float        global_max_perfection;
extern int          global_mismatch_score;
extern int          global_indel_score;
extern int          global_prefer_longer_repeat;  // 1 keep the longer of two equal-score alignments
extern bool         global_remove_mostly_hidden;
extern bool         global_mask_X;
extern bool         global_mask_lower;
extern bool         global_gaps_to_Ns;
extern bool         global_CAIRN_run;
extern int          global_threads;  // threads of the search, at least 1 after the checks

// The number of processors this process may run on (at least 1).
unsigned int available_processors();

// Limits that the search tables impose on the command line.
constexpr unsigned int KATREL_MAX_UNIT_LENGTH     = 10000;
constexpr int          KATREL_MAX_RECURSION_DEPTH = 255;

// Result codes that travel up to the entry point (exit status = code mod 256).
constexpr int KATREL_OK                    = 0;
constexpr int KATREL_ERR_PARAMETER         = -1;
constexpr int KATREL_ERR_MODE_OPTION       = -2;
constexpr int KATREL_ERR_INVALID_FASTA     = -25;
constexpr int KATREL_ERR_INPUT_FILE        = -101;
constexpr int KATREL_ERR_OUTPUT_FILE       = -102;
constexpr int KATREL_ERR_MASKED_FILE       = -103;
constexpr int KATREL_ERR_WRITE             = -104;  // a write to the output or masked file failed
constexpr int KATREL_ERR_READ_INPUT        = -105;  // the input could not be read to its end

void init_param();
int  read_and_init_parameters(int argc, char** argv);

#endif
