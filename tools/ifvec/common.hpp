// SPDX-License-Identifier: MIT
// ifvec: what every part of the tool shares: the exit statuses and names of
// messages.hpp, and how an error travels to main.
#pragma once

#include "messages.hpp"

#include <string>
#include <utility>

namespace if_index_vec::cli {

using tools::exit_bad_input;
using tools::exit_false;
using tools::exit_ok;
using tools::exit_read;
using tools::exit_write;
using tools::name_at;
using tools::name_of;

// Every error: main prints "ifvec: MESSAGE" and exits with `status`.
// Nothing is written to standard output before all input is read, so an
// error leaves it empty.
struct failure {
    int status;
    std::string message;
};
[[noreturn]] inline void fail(std::string message, int status = exit_bad_input) {
    throw failure{status, std::move(message)};
}

} // namespace if_index_vec::cli
