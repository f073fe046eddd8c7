// SPDX-License-Identifier: MIT
// if_index_codec_check: tells whether libif_index_vec can rely on the
// interface-index codec it is linked with.  This file reads the command
// line; the checks and their report are codec_check_sections.cpp.
// Exit status: 0 when the library can rely on the codec, 1 when it cannot,
// 2 for a usage error, 4 when standard output could not be written.
#include "codec_check_sections.hpp"
#include "messages.hpp"

#include <if_index_vec/if_index_text.hpp>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifndef IF_INDEX_VEC_VERSION_TEXT
#define IF_INDEX_VEC_VERSION_TEXT "unknown"
#endif

namespace {

using namespace if_index_vec;
using tools::exit_bad_input;
using tools::exit_false;
using tools::exit_ok;
using tools::exit_write;

constexpr const char *program_name = "if_index_codec_check";

constexpr std::string_view usage_text =
    "usage: if_index_codec_check [--single IF_INDEX]...\n"
    "       if_index_codec_check --help | --version\n"
    "\n"
    "Checks that libif_index_vec can rely on the interface-index codec it is\n"
    "linked with: the held type codes, the field widths, the two conversions at\n"
    "every position of every held type, a vector of all of them, the length of\n"
    "every name, that every name reads back (through a table of the names, as\n"
    "an item of ifvec, and through if_index_parse where the codec has it),\n"
    "type-6 if_indexes given with --single (decimal or 0x hex), what values the\n"
    "codec refuses come back as, and that no value it accepts lands on another\n"
    "if_index's position.  The codec's calls succeed with status 0: add and\n"
    "remove hand if_index_get_type's status back, compared with\n"
    "IF_INDEX_VECTOR_OK.\n"
    "\n"
    "Exit status: 0 the library can rely on the codec, 1 it cannot, 2 usage error,\n"
    "4 standard output could not be written.\n";

// Reports a usage error; main returns the status, so that nothing is left
// allocated on the way out.
int usage_error(const std::string &what) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program_name, what.c_str(),
                 program_name);
    return exit_bad_input;
}

// `status`, or exit_write when what was written did not reach standard output.
int finished(int status) {
    if (const std::string error = if_index_vec::tools::close_stdout(); !error.empty()) {
        std::fprintf(stderr, "%s: %s\n", program_name, error.c_str());
        return exit_write;
    }
    return status;
}

// Reads the command line into `singles`, the if_indexes given with
// --single.  Returns the exit status when the command line is done with
// (--help, --version, a usage error), else nothing.
std::optional<int> read_arguments(int argc, char **argv, std::vector<std::uint32_t> &singles) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fwrite(usage_text.data(), 1, usage_text.size(), stdout);
            return finished(exit_ok);
        }
        if (a == "--version" || a == "-V") {
            std::printf("%s %s\n", program_name, IF_INDEX_VEC_VERSION_TEXT);
            return finished(exit_ok);
        }
        const char *value = a == "--single" && i + 1 < argc ? argv[++i]
                            : a.starts_with("--single=")    ? argv[i] + std::strlen("--single=")
                                                            : nullptr;
        if (value == nullptr)
            return usage_error(a == "--single" ? "--single needs an if_index"
                                               : "unexpected argument " + tools::shown(a));
        std::uint32_t single = 0;
        if (const text_error e = parse_if_index(value, single))
            return usage_error(tools::shown(value) + " is not an if_index: " + std::string(describe(e.code)) +
                               " at offset " + std::to_string(e.offset) +
                               " (expected decimal, or 0x and 1 to 8 hex digits)");
        singles.push_back(single);
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::uint32_t> singles;
    if (const std::optional<int> status = read_arguments(argc, argv, singles))
        return *status;
    const bool ok = codec_check::check_codec(singles);
    std::puts(ok ? "result: libif_index_vec can rely on this codec"
                 : "result: libif_index_vec cannot rely on this codec");
    return finished(ok ? exit_ok : exit_false);
}
