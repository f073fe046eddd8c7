// SPDX-License-Identifier: MIT
// ifvec: the command table, and the entry point that runs a command line.
// It sits above the commands (commands.cpp) and their options and help
// (options.cpp), which know nothing of it.
#pragma once

#include <span>
#include <string_view>

namespace if_index_vec::cli {

// Runs the command line `args` (without the program's name) and returns the
// exit status; errors are thrown as `failure`.
int run(std::span<const std::string_view> args);

} // namespace if_index_vec::cli
