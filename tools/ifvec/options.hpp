// SPDX-License-Identifier: MIT
// ifvec: what a command is, the options it is given, and the help.  The
// command table itself, with the entry point that runs a command line, is
// command_table.cpp, above both this and the commands.
#pragma once

#include "input.hpp"
#include "records.hpp"
#include "views.hpp"

#include <if_index_vec/if_index_vector.hpp>

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace if_index_vec::cli {

struct options {
    view_set views = 0; // 0 for the command's default
    bool json = false;
    bool quiet = false;
    std::vector<std::string_view> operands;
    std::vector<std::string_view> records; // --record FILE: files of record images
    std::string_view record_out;           // --record-out FILE ("-", --raw: standard output)
    byte_order order = byte_order::host;   // --byte-order of the images read and written
    std::optional<byte_order> out_order;   // --record-out-order of those written, if other
    bool show_invalid = false;             // --show-invalid: records that disagree, as stored
    record_window window;                  // --offset, --count: where the records are in each file
    bool windowed = false;                 // --offset or --count was given
};

enum takes : unsigned { takes_views = 1, takes_quiet = 2, takes_records = 4 };

struct command;
using run_fn = int (*)(const command &, const options &, operand_reader &);
// How a combining command joins the next set to the result: |=, &= or -=.
using combine_fn = void (*)(index_vector &result, const index_vector &next);

struct command {
    std::string_view name;
    std::string_view synopsis;
    std::string_view help;
    unsigned takes;
    run_fn run;
    combine_fn combine = nullptr; // union, intersect and subtract
};

// Reads the options and operands of `c`, in any order, from `args` (what
// follows the command's name) into `o`; "--" ends the options.  Returns false
// when -h or --help asks for the command's help.  Errors are thrown as
// `failure`.
bool parse_options(const command &c, std::span<const std::string_view> args, options &o);

// Prints the usage of every command of `table`, then what sets, items and
// views are, the options and the exit statuses.
void print_help(std::span<const command> table);

// Prints the usage and help of `c`.
void print_help(const command &c);

} // namespace if_index_vec::cli
