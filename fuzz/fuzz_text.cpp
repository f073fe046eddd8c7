// SPDX-License-Identifier: MIT
// Fuzz target of the text layer: data[0] a capacity, data[1] the pieces; the rest read as every text form.
#include "harness.hpp"

#include <if_index_vec/if_index_text.hpp>

#include <charconv>
#include <optional>

using namespace if_index_vec;
using fuzz::require;

// Whether `s` is a number below `limit`, in hex or in decimal without a leading zero.
static bool number(std::string_view s, std::uint64_t &v, std::uint64_t limit, int base = 10) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    return !s.empty() && ec == std::errc() && end == s.data() + s.size() && v < limit &&
           (s[0] != '0' || s.size() == 1 || base == 16);
}

// The range list grammar on its own: "" or items joined by ',', each a position or "first-last" in order.
static bool valid_list(std::string_view text, std::uint64_t capacity) {
    std::uint64_t lo = 0, hi = 0;
    for (std::size_t at = 0, comma = 0; comma < text.size(); at = comma + 1) {
        comma = std::min(text.find(',', at), text.size());
        const std::string_view item = text.substr(at, comma - at), first = item.substr(0, item.find('-'));
        if (!number(first, lo, capacity) ||
            (first != item && (!number(item.substr(first.size() + 1), hi, capacity) || hi < lo)))
            return false;
    }
    return true;
}

// A dump line reader's error and sink calls (as text), the line fed whole or in pieces.
template <class T>
static std::string field(T v) {
    return std::to_string(+v);
}
static std::string field(const bitmap_type &t) { return std::string(t.dump_header); }
template <class Reader>
static std::pair<text_error, std::string> read_line(std::string_view line, std::uint32_t pieces, bool whole) {
    Reader reader;
    std::string log;
    const auto sink = [&log](const auto &...v) { ((log += field(v) + ','), ...), log += ';'; };
    const auto feed = [&](std::string_view piece) { (void)reader.feed(piece, sink); };
    whole ? feed(line) : fuzz::in_pieces(line, pieces, feed);
    return {reader.finish(sink), log};
}
template <class Reader>
static void alike(std::string_view line, std::uint32_t pieces) {
    const auto whole = read_line<Reader>(line, 0, true), in_pieces = read_line<Reader>(line, pieces, false);
    require(whole.first == in_pieces.first && (whole.first || whole.second == in_pieces.second),
            "a dump line whole and in pieces alike");
}

// The positions of an accepted decimal dump line with members, ascending, each once, and its header.
static std::optional<std::vector<int>> members(std::string_view line, std::string &header) {
    dump_line_reader reader;
    std::vector<bool> in(4096);
    const auto sink = [&](const bitmap_type &t, int lo, int hi) {
        header = t.dump_header, std::fill(in.begin() + lo, in.begin() + hi + 1, true);
    };
    if ((void)reader.feed(line, sink), reader.finish(sink) || header.empty())
        return std::nullopt;
    std::vector<int> out;
    for (std::size_t p = 0; p < in.size(); ++p)
        if (in[p])
            out.push_back(static_cast<int>(p));
    return out;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const codec_names names; // through a name_table of the codec's names
    if (size < 2)
        return 0;
    const std::string_view text(reinterpret_cast<const char *>(data) + 2, size - 2);
    const int capacity = data[0] < bitmap_types.size() ? bitmap_types[data[0]].capacity : data[0] - 3;
    std::vector<std::pair<int, int>> whole, pieces;
    const auto into = [](auto &runs) { return [&runs](int lo, int hi) { runs.emplace_back(lo, hi); }; };
    const text_error e = parse_range_list(text, capacity, into(whole));
    range_list_reader reader(capacity);
    fuzz::in_pieces(text, data[1], [&](std::string_view piece) { (void)reader.feed(piece, into(pieces)); });
    require(reader.finish(into(pieces)) == e && (e ? whole.empty() : whole == pieces),
            "whole and in pieces alike");
    require(!e == valid_list(text, static_cast<unsigned>(capacity)) && e.offset <= text.size(),
            "list grammar");
    std::vector<bool> in(e ? 0 : static_cast<std::size_t>(capacity));
    std::vector<int> positions, back;
    for (const auto &[lo, hi] : whole)
        std::fill(in.begin() + lo, in.begin() + hi + 1, true);
    for (int p = 0; p < std::ssize(in); ++p)
        if (in[static_cast<std::size_t>(p)])
            positions.push_back(p);
    require(e || (!parse_range_list(format_range_list(positions), capacity, back) && back == positions),
            "a list formatted reads back");

    alike<count_line_reader>(text, data[1]), alike<dump_line_reader>(text, data[1]),
        alike<hex_line_reader>(text, data[1]);
    std::string header, header_again;
    const auto dumped = members(text, header);
    require(!dumped || (members(header + format_range_list(*dumped), header_again) == dumped &&
                        header_again == header),
            "a decimal dump line's runs formatted again read back the same");

    std::uint32_t value = 0, again = 0;
    std::uint64_t expected = 0;
    const bool ok = !parse_if_index(text, value),
               hex = text.size() > 2 && text[0] == '0' && (text[1] | 0x20) == 'x';
    require(
        ok == (number(text.substr(hex ? 2 : 0), expected, 1ULL << 32, hex ? 16 : 10) && text.size() <= 10) &&
            (!ok || (value == expected && !parse_if_index(std::to_string(value), again) && again == value)),
        "if_index numbers as the grammar has them, and printed back");

    const named_members m = parse_name_range(text, names);
    if (m.error)
        return 0;
    require(m.first <= m.last && m.if_index == if_index_at(m.type, m.first), "a run of positions");
    for (const int p : {m.first, m.last}) {
        char name[name_buffer_size];
        const named_members named = parse_name(name_into(name, if_index_at(m.type, p)), names);
        require(!named.error && named.type == m.type && named.first == p, "the names of its ends read back");
    }
    return 0;
}
