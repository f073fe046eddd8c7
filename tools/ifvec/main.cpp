// SPDX-License-Identifier: MIT
// ifvec: inspect and combine interface sets from the shell.
//
// The tool is split by job: command_table.cpp (the command table, the demo
// and help commands, and finding and running a command), options.cpp (a
// command's options, and the help), input.cpp (reading sets as streams, in
// bounded memory) and builder.cpp (the sets they are read into), commands.cpp
// (the commands), views.cpp (printing) and records.cpp (the record images of
// --record and --record-out).  The command table is above the rest, which
// never calls back into it.  tools/messages.hpp holds what the tool shares
// with if_index_codec_check.  The sets are libif_index_vec records, combined
// by the library's set algebra and printed by its print functions.  The facts
// about the held types come from <if_index_vec/if_index_types.hpp>, the
// codec's calls from <if_index_vec/if_index_codec_adapter.hpp> (but for its
// optional if_index_parse, which input.cpp calls itself), and the text forms
// of positions, names and numbers from <if_index_vec/if_index_text.hpp>.  Of
// the library and the codec, only installed public headers are used, as by
// any program that links them.
#include "command_table.hpp"
#include "common.hpp"

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
