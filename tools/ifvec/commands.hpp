// SPDX-License-Identifier: MIT
// ifvec: the commands.  Each reads all its operands before it prints.
#pragma once

#include "options.hpp"

namespace if_index_vec::cli {

int run_show(const command &c, const options &o, operand_reader &in);
int run_combine(const command &c, const options &o, operand_reader &in);
int run_diff(const command &c, const options &o, operand_reader &in);
int run_equal(const command &c, const options &o, operand_reader &in);
int run_present(const command &c, const options &o, operand_reader &in);

} // namespace if_index_vec::cli
