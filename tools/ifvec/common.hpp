// SPDX-License-Identifier: MIT
// ifvec: what every part of the tool shares: exit statuses, how an error
// travels to main, and the codec's names.
#pragma once

#include <if_index_vec/if_index_codec_adapter.hpp>

#include <cstdint>
#include <string>
#include <utility>

namespace ifvec::cli {

enum exit_status : int {
    exit_ok = 0,
    exit_false = 1,     // "not equal", "none present"
    exit_bad_input = 2, // usage errors and bad input
    exit_read = 3,      // standard input could not be read
    exit_write = 4,     // standard output could not be written
};

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

inline std::string name_of(std::uint32_t if_index) {
    char buf[name_buffer_size];
    return name_into(buf, if_index);
}

} // namespace ifvec::cli
