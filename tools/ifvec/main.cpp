// SPDX-License-Identifier: MIT
// ifvec: inspect and combine interface sets from the shell.
//
// The tool is split by job: options.cpp (the command table, options, help),
// input.cpp (reading sets as streams, in bounded memory), commands.cpp (the
// commands), views.cpp (printing) and records.cpp (the record images of
// --record and --record-out); tools/messages.hpp holds what it shares with
// if_index_codec_check.  The sets are libif_index_vec records, combined by
// the library's set algebra and printed by its print functions.  The facts
// about the held types come from <if_index_vec/if_index_types.hpp>, the
// codec's calls from <if_index_vec/if_index_codec_adapter.hpp> (but for its
// optional if_index_parse, which input.cpp calls itself), and the text forms
// of positions, names and numbers from <if_index_vec/if_index_text.hpp>.  Of
// the library and the codec, only installed public headers are used, as by
// any program that links them.
#include "common.hpp"
#include "options.hpp"

#include "messages.hpp"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

int main(int argc, char **argv) {
    using namespace if_index_vec::cli;
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
    if (const std::string error = if_index_vec::tools::close_stdout(); !error.empty()) {
        std::fprintf(stderr, "ifvec: %s\n", error.c_str());
        return exit_write;
    }
    return status;
}
