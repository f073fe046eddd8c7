// SPDX-License-Identifier: MIT
// ifvec: inspect and combine interface sets from the shell.
//
// The tool is split by job: options.cpp (the command table, options, help),
// input.cpp (reading sets as streams, in bounded memory), commands.cpp (the
// commands) and views.cpp (printing).  The sets are libif_index_vec records,
// combined by the library's set algebra and printed by its print functions;
// the facts about the held types and the text forms of positions, names and
// numbers come from <if_index_vec/if_index_text.hpp>.  Only installed public
// headers are used, as by any program that links the library.
#include "common.hpp"
#include "options.hpp"

#include "messages.hpp"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

int main(int argc, char **argv) {
    using namespace ifvec::cli;
    int status = exit_ok;
    try {
        const std::vector<std::string_view> args(argv + 1, argv + argc);
        status = run(args);
    } catch (const failure &f) {
        std::fprintf(stderr, "ifvec: %s\n", f.message.c_str());
        if (f.status == exit_bad_input)
            std::fputs("Try 'ifvec --help' for more information.\n", stderr);
        return f.status;
    }
    if (const std::string error = ifvec::tools::close_stdout(); !error.empty()) {
        std::fprintf(stderr, "ifvec: %s\n", error.c_str());
        return exit_write;
    }
    return status;
}
