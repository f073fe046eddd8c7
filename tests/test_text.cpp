// SPDX-License-Identifier: MIT
// Text forms of <if_index_vec/if_index_text.hpp>: text_cases.txt rows, every error kind with its offset.
#include <if_index_vec/if_index_text.hpp>
#include <if_index_vec/if_index_vector.hpp>

#include <fstream>
#include <iterator>
#include <sstream>

#include <gtest/gtest.h>

namespace if_index_vec {
void PrintTo(const text_error &e, std::ostream *os) { *os << describe(e.code) << " at " << e.offset; }
} // namespace if_index_vec

namespace {

using namespace if_index_vec;

// The rows of text_cases.txt whose first field is `kind`, split at '|'.
std::vector<std::vector<std::string>> cases(const std::string &kind, std::size_t fields) {
    std::ifstream in(IF_INDEX_VEC_TEXT_CASES);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> f;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '|');)
            f.push_back(field);
        f.resize(fields); // a last field left empty
        if (f[0] == kind)
            rows.push_back(f);
    }
    EXPECT_GT(rows.size(), 4u) << "rows of kind " << kind << " in " << IF_INDEX_VEC_TEXT_CASES;
    return rows;
}

text_error error_of(const std::string &description, const std::string &offset) {
    for (int e = 0; e <= static_cast<int>(text_errc::hex_digit_count); ++e)
        if (describe(static_cast<text_errc>(e)) == description)
            return {static_cast<text_errc>(e), std::stoul(offset)};
    ADD_FAILURE() << "no error is described as " << description;
    return {};
}

std::vector<int> ints(const std::string &s) {
    std::istringstream in(s);
    return {std::istream_iterator<int>(in), {}};
}

TEST(Text, RangeListsGiveTheirPositionsOrTheirErrorAndOffset) {
    for (const auto &f : cases("list", 6)) {
        const std::string &text = f[1];
        const int capacity = std::stoi(f[2]);
        const text_error want = error_of(f[3], f[4]);
        std::size_t calls = 0;
        EXPECT_EQ(parse_range_list(text, capacity, [&](int, int) { ++calls; }), want) << text;
        EXPECT_TRUE(!want || calls == 0) << text << ": the sink was called on error";
        std::vector<int> got{-1}, expected = ints("-1 " + f[5]); // kept as it is on error
        EXPECT_EQ(parse_range_list(text, capacity, got), want) << text;
        EXPECT_EQ(got, expected) << text;
    }
}

// The number grammar of both tools, and the formatter's runs (repeats, the largest int).
TEST(Text, IfIndexNumbersAndFormattedRuns) {
    for (const auto &f : cases("number", 5)) {
        std::uint32_t got = 0xFEEDFACE;
        EXPECT_EQ(parse_if_index(f[1], got), error_of(f[2], f[3])) << f[1];
        EXPECT_EQ(got, f[4].empty() ? 0xFEEDFACE : std::stoul(f[4], nullptr, 16)) << f[1];
    }
    for (const auto &f : cases("format", 3))
        EXPECT_EQ(format_range_list(ints(f[1])), f[2]) << f[1];
}

// The codec's names as ifvec reads them, and if_index_parse where the codec has it ("codec", "parse" rows).
#if IF_INDEX_VEC_CODEC_HAS_PARSE
const codec_names codec_parse([](const char *name, std::uint32_t *x) {
    return if_index_parse(name, x) == 0;
});
#else
const codec_names codec_parse;
#endif

// Another codec's names ("name" rows): raw if_indexes, ranges across slots or types.
bool other_parse(const char *name, std::uint32_t *if_index) {
    static const auto names = cases("name", 3);
    for (const auto &f : names)
        if (f[1] == name)
            return *if_index = static_cast<std::uint32_t>(std::stoul(f[2], nullptr, 16)), true;
    return false;
}

// The "name" rows' if_indexes are written in the stand-in's encoding too.
TEST(Text, NamesAndNameRangesThroughAnyCodec) {
    if (!IF_INDEX_VEC_TEST_STANDIN)
        GTEST_SKIP() << "the rows give the stand-in codec's names and if_indexes";
    std::vector<std::string> kinds{"codec", "other"};
    if (IF_INDEX_VEC_CODEC_HAS_PARSE)
        kinds.emplace_back("parse");
    for (const std::string &kind : kinds)
        for (const auto &f : cases(kind, 5)) {
            const named_members m =
                f[0] == "other" ? parse_name_range(f[1], other_parse) : parse_name_range(f[1], codec_parse);
            const std::vector<int> want = ints(f[4]); // type, first, last
            EXPECT_EQ(m.error, error_of(f[2], f[3])) << f[1];
            EXPECT_EQ((std::vector<int>{m.type, m.first, m.last}), want) << f[1];
            EXPECT_TRUE(m.error || m.type == IF_TYPE_SINGLE || m.if_index == if_index_at(m.type, m.first))
                << f[1] << ": the first member's if_index";
        }
    // A NUL byte ends no name early.
    EXPECT_EQ(parse_name(std::string_view("fc1/1\0", 6), codec_parse).error.code, text_errc::unknown_name);
}

// Feeds `line` to `reader` in pieces of `piece` bytes, then finishes it.
template <class Reader, class Sink>
text_error read_line(Reader &reader, std::string_view line, std::size_t piece, Sink &&sink) {
    for (std::size_t i = 0; i < line.size(); i += piece)
        if (const text_error e = reader.feed(line.substr(i, piece), sink))
            return e;
    return reader.finish(sink);
}

TEST(Text, DumpLinesGiveTheirErrorAndOffset) {
    for (const auto &f : cases("count", 6)) {
        std::uint32_t got = 0;
        count_line_reader r;
        const text_error want = error_of(f[2], f[3]);
        EXPECT_EQ(read_line(r, f[1], 5, [&](std::uint32_t n) { got = n; }), want) << f[1];
        EXPECT_TRUE(want || got == std::stoul(f[4])) << f[1];
    }
    for (const auto &f : cases("dump", 5)) {
        dump_line_reader r;
        EXPECT_EQ(read_line(r, f[1], 3, [](const bitmap_type &, int, int) {}), error_of(f[2], f[3])) << f[1];
    }
    for (const auto &f : cases("hex", 5)) {
        hex_line_reader r;
        const auto sink = [](const bitmap_type &, std::size_t, std::uint8_t) {};
        const text_error want = error_of(f[2], f[3]);
        EXPECT_EQ(read_line(r, f[1], 7, sink), want) << f[1];
        EXPECT_TRUE(!want || r.feed("0", sink) == want) << f[1] << ": the first error stays";
    }
}

} // namespace
