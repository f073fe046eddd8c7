// SPDX-License-Identifier: MIT
// if_index_codec_check: the checks.  Each calls the codec as the library
// does, through the adapter of <if_index_vec/if_index_codec_adapter.hpp>, and
// reads names back as ifvec does (item_grammar.hpp, codec_parse.hpp).
#include "codec_check_sections.hpp"

#include "codec_check_report.hpp"
#include "codec_parse.hpp"
#include "item_grammar.hpp"
#include "messages.hpp"

#include <if_index_vec/if_index_text.hpp>
#include <if_index_vec/if_index_vector.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace if_index_vec::codec_check {
namespace {

using tools::hex;
using tools::joined;
using tools::name_of;

std::string where(const bitmap_type &t, int p) {
    return std::string(t.keyword) + " position " + std::to_string(p);
}

// Every if_index the constructors build, per bitmap type, in canonical order.
struct built_codec {
    const bitmap_type *type;
    int position;
    std::uint32_t if_index;
};

std::vector<built_codec> build_all() {
    std::vector<built_codec> all;
    for (const bitmap_type &t : bitmap_types)
        for (int p = 0; p < t.capacity; ++p)
            all.push_back({&t, p, if_index_at(t.code, p)});
    return all;
}

void check_types(const std::vector<built_codec> &all, report_section &s) {
    for (const built_codec &b : all) {
        const std::uint8_t got = classify(b.if_index).type;
        if (got != b.type->code)
            s.problem(where(*b.type, b.position) + ": " + hex(b.if_index) + " is classified as type " +
                      (got == no_type ? std::string("(none written)") : std::to_string(got)) + ", expected " +
                      std::to_string(b.type->code));
    }
    s.note("(" + std::to_string(all.size()) + " if_indexes of " + std::to_string(bitmap_types.size()) +
           " types)");
}

// Runs `call` on an output of N bytes that sits between guard bytes, twice
// with different guard values, and tells whether any guard changed.
template <std::size_t N, class Call>
bool writes_beyond(Call call) {
    for (const unsigned char guard : {std::uint8_t{0xA5}, std::uint8_t{0x5A}}) {
        alignas(8) unsigned char buf[8 + N + 8];
        std::memset(buf, guard, sizeof buf);
        call(buf + 8);
        for (std::size_t i = 0; i < sizeof buf; ++i)
            if ((i < 8 || i >= 8 + N) && buf[i] != guard)
                return true;
    }
    return false;
}

// Adds a problem for `call` at position `p` of `t` when it writes beyond
// its output.
struct width_check {
    report_section &s;
    const bitmap_type &t;
    int p;
    void operator()(const char *call, bool beyond) const {
        if (beyond)
            s.problem(where(t, p) + ": " + call + " writes beyond its output");
    }
};

// The calls that read the fields of `x`, an if_index of type `code`, each
// output under test in guarded room in turn.
void check_field_widths(std::uint8_t code, std::uint32_t x, const width_check &fails) {
    const auto u8 = [](unsigned char *out) { return reinterpret_cast<std::uint8_t *>(out); };
    const auto u16 = [](unsigned char *out) { return reinterpret_cast<std::uint16_t *>(out); };
    alignas(8) std::uint8_t a[8], c[8]; // the outputs not under test, with room to spare
    switch (code) {
    case IF_TYPE_PHY_FC:
        fails("if_index_phy_fc_get_fields (8-bit slot)",
              writes_beyond<1>([&](unsigned char *out) { if_index_phy_fc_get_fields(x, u8(out), a, c); }));
        fails("if_index_phy_fc_get_fields (8-bit port)",
              writes_beyond<1>([&](unsigned char *out) { if_index_phy_fc_get_fields(x, a, u8(out), c); }));
        fails("if_index_phy_fc_get_fields (8-bit third field)",
              writes_beyond<1>([&](unsigned char *out) { if_index_phy_fc_get_fields(x, a, c, u8(out)); }));
        break;
    case IF_TYPE_ISCSI:
        fails("if_index_iscsi_get_fields (8-bit slot)",
              writes_beyond<1>([&](unsigned char *out) { if_index_iscsi_get_fields(x, u8(out), a); }));
        fails("if_index_iscsi_get_fields (8-bit port)",
              writes_beyond<1>([&](unsigned char *out) { if_index_iscsi_get_fields(x, a, u8(out)); }));
        break;
    case IF_TYPE_PORT_CHANNEL:
        fails("if_index_port_channel_get_channel_num (16-bit channel)",
              writes_beyond<2>(
                  [&](unsigned char *out) { if_index_port_channel_get_channel_num(x, u16(out)); }));
        break;
    default:
        fails("if_index_fcmpls_tnnl_get_tunnel (16-bit tunnel)",
              writes_beyond<2>([&](unsigned char *out) { if_index_fcmpls_tnnl_get_tunnel(x, u16(out)); }));
        break;
    }
}

// Builds every if_index itself, through the guarded constructor, so that no
// call of this section writes anywhere but into guarded room.
void check_widths(report_section &s) {
    for (const bitmap_type &t : bitmap_types)
        for (int p = 0; p < t.capacity; ++p) {
            const width_check fails{s, t, p};
            std::uint32_t x = 0;
            fails("the constructor (32-bit if_index)", writes_beyond<4>([&](unsigned char *out) {
                      construct_into(t.code, p, reinterpret_cast<std::uint32_t *>(out));
                      std::memcpy(&x, out, sizeof x);
                  }));
            fails("if_index_get_type (24-byte type record)",
                  writes_beyond<codec_detail::record_bytes>([&](unsigned char *out) {
                      (void)if_index_get_type(
                          x, static_cast<codec_detail::record_ptr>(static_cast<void *>(out)));
                  }));
            check_field_widths(t.code, x, fails);
        }
    if (!s.ok())
        s.note("(the other sections are not run: a call that writes beyond its output would corrupt memory)");
}

void check_inverse(const std::vector<built_codec> &all, report_section &s) {
    std::set<std::uint32_t> seen;
    for (const built_codec &b : all) {
        const int back = position_of(b.type->code, b.if_index);
        if (back != b.position)
            s.problem(where(*b.type, b.position) + ": the constructor gives " + hex(b.if_index) + " (" +
                      name_of(b.if_index) + "), whose position is " + std::to_string(back));
        if (!seen.insert(b.if_index).second)
            s.problem(where(*b.type, b.position) + ": " + hex(b.if_index) +
                      " is also the if_index of an earlier position");
    }
    std::vector<std::string> sizes;
    std::ranges::transform(bitmap_types, std::back_inserter(sizes), [](const bitmap_type &t) {
        return std::string(t.keyword) + " " + std::to_string(t.capacity);
    });
    s.note("(every position: " + joined(sizes, ", ") + ")");
}

void check_library(const std::vector<built_codec> &all, report_section &s) {
    if_index_vector_t v;
    if_index_vector_init(&v);
    for (const built_codec &b : all)
        if (const std::uint32_t rc = if_index_vector_add(&v, b.if_index); rc != IF_INDEX_VECTOR_OK)
            s.problem(where(*b.type, b.position) + ": adding " + hex(b.if_index) + " returns " +
                      (rc == IF_INDEX_VECTOR_BAD_TYPE ? std::string("BAD_TYPE")
                                                      : "the codec's status " + std::to_string(rc) +
                                                            " (success is 0: add hands it back)"));
    if (if_index_vector_num_if(&v) != all.size())
        s.problem("the vector counts " + std::to_string(if_index_vector_num_if(&v)) + " members, expected " +
                  std::to_string(all.size()));
    std::uint32_t cursor = 0;
    std::size_t i = 0;
    for (std::uint32_t rc = if_index_vector_itr_begin(&v, &cursor); rc == IF_INDEX_VECTOR_OK;
         rc = if_index_vector_itr_incr(&v, &cursor), ++i)
        if (i < all.size() && cursor != all[i].if_index)
            s.problem(where(*all[i].type, all[i].position) + ": the walk hands out " + hex(cursor) +
                      ", added " + hex(all[i].if_index));
    if (i != all.size())
        s.problem("the walk hands out " + std::to_string(i) + " members, expected " +
                  std::to_string(all.size()));
    s.note("(" + std::to_string(all.size()) + " added, walked back in order)");
}

// The codec's name of `v` written into room for four names, so that a name
// too long for the listing's buffer is seen whole: `*fits` tells whether it
// fits that buffer with its terminator, `*terminated` whether it has one in
// the room given.
std::string long_name(std::uint32_t v, bool *fits, bool *terminated) {
    static char buf[4 * name_buffer_size];
    std::memset(buf, '\xA5', sizeof buf);
    sprintf_if_index(buf, v);
    const void *nul = std::memchr(buf, '\0', sizeof buf);
    const std::size_t n =
        nul == nullptr ? sizeof buf : static_cast<std::size_t>(static_cast<const char *>(nul) - buf);
    *terminated = nul != nullptr;
    *fits = n < name_buffer_size;
    return {buf, n};
}

// Returns false when a name overruns its buffer: reading names then would
// corrupt memory.
bool check_names(const std::vector<built_codec> &all, const std::vector<std::uint32_t> &singles,
                 report_section &s) {
    bool all_fit = true;
    std::string longest;
    std::vector<std::uint32_t> values;
    values.reserve(all.size() + singles.size());
    std::ranges::transform(all, std::back_inserter(values), &built_codec::if_index);
    values.insert(values.end(), singles.begin(), singles.end());
    for (const std::uint32_t v : values) {
        bool fits = false, terminated = false;
        const std::string name = long_name(v, &fits, &terminated);
        all_fit = all_fit && fits;
        if (!terminated)
            s.problem(hex(v) + ": the name has no terminator in " + std::to_string(4 * name_buffer_size) +
                      " bytes; it starts " + tools::shown(name));
        else if (!fits)
            s.problem(hex(v) + ": the name and its terminator do not fit " +
                      std::to_string(name_buffer_size) + " bytes: " + std::to_string(name.size()) +
                      " bytes, " + tools::shown(name));
        else if (name.empty())
            s.problem(hex(v) + ": the name is empty");
        else if (name.size() > longest.size())
            longest = name;
    }
    s.note(longest.empty()
               ? "(no name fits " + std::to_string(name_buffer_size) + " bytes)"
               : "(longest: " + tools::shown(longest) + ", " + std::to_string(longest.size()) +
                     " bytes and the terminator, room for " + std::to_string(name_buffer_size) + ")");
    return all_fit;
}

void check_read_back(const std::vector<built_codec> &all, const name_table &table, report_section &s) {
    for (const name_table::duplicate &d : table.duplicates())
        s.problem(hex(d.first) + " and " + hex(d.second) + " are both named " +
                  tools::shown(name_of(d.first)));
    for (const built_codec &b : all) {
        const std::string name = name_of(b.if_index);
        std::uint32_t back = 0;
        if (!table.find(name, &back) && table.duplicates().empty())
            s.problem(where(*b.type, b.position) + ": " + hex(b.if_index) + " has no name to read back");
        else if (const std::string why = tools::unreadable(name); !why.empty())
            s.problem(where(*b.type, b.position) + ": ifvec cannot read back the name " + tools::shown(name) +
                      " of " + hex(b.if_index) + ": " + why);
    }
    s.note("(" + std::to_string(table.size()) + " names, read through the table ifvec builds of them)");
}

void check_parse(const std::vector<built_codec> &all, const std::vector<std::uint32_t> &singles,
                 report_section &s) {
    const tools::codec_parse_fn parse = tools::codec_parse();
    if (parse == nullptr) {
        s.note("(optional; absent: ifvec reads type 6 by if_index only)");
        return;
    }
    std::vector<std::uint32_t> values;
    std::ranges::transform(all, std::back_inserter(values), &built_codec::if_index);
    std::ranges::copy_if(singles, std::back_inserter(values),
                         [](std::uint32_t v) { return classify(v).type == single_type.code; });
    for (const std::uint32_t v : values) {
        const std::string name = name_of(v);
        std::uint32_t back = 0;
        const std::uint32_t status = parse(name.c_str(), &back);
        if (status != 0 || back != v)
            s.problem(tools::shown(name) + " (" + hex(v) + ") parses " +
                      (status != 0 ? "with status " + std::to_string(status) : "as " + hex(back)));
    }
    s.note("(optional; present: every name reads back through it too, and ifvec reads type 6 by name)");
}

void check_single(const std::vector<std::uint32_t> &singles, report_section &s) {
    for (const std::uint32_t v : singles) {
        const classification got = classify(v);
        if (v == 0)
            s.problem("0 cannot be a single-slot member: it marks the empty slot");
        else if (got.status != 0)
            s.problem("the codec refused " + hex(v) + " with status " + std::to_string(got.status));
        else if (got.type != single_type.code)
            s.problem(hex(v) + " is classified as type " +
                      (got.type == no_type ? std::string("(none written)") : std::to_string(got.type)) +
                      ", expected " + std::to_string(single_type.code));
    }
    const std::uint8_t zero = classify(0).type;
    std::string note = singles.empty() ? "(no if_index given: pass one with --single)"
                                       : "(" + std::to_string(singles.size()) + " given)";
    if (zero == single_type.code)
        note += "; 0 is classified as type 6, which the library refuses";
    s.note(note);
}

// Values near the valid ones (each built if_index with one bit flipped) and
// the extremes.  A value the codec refuses but still reports as a held type
// at a storable position would be stored, since only the type code is read.
void check_unclassifiable(const std::vector<built_codec> &all, report_section &s) {
    std::vector<std::uint32_t> probes{0, 0xFFFFFFFFu, 0x80000000u, 1};
    for (const built_codec &b : all)
        for (int bit = 0; bit < 32; ++bit)
            probes.push_back(b.if_index ^ (std::uint32_t{1} << bit));
    std::size_t refused = 0;
    for (const std::uint32_t v : probes) {
        const classification c = classify(v);
        const bitmap_type *t = find_bitmap_type(c.type);
        const int p = position_of(c.type, v);
        const bool storable = t != nullptr && p < t->capacity;
        if (c.status != 0) {
            ++refused;
            if (storable)
                s.problem(hex(v) + ": refused with status " + std::to_string(c.status) + " but reported as " +
                          std::string(t->keyword) + " position " + std::to_string(p) +
                          ": the library would store it");
        } else if (const std::uint32_t owner = storable ? if_index_at(c.type, p) : v; owner != v) {
            s.problem(hex(v) + ": accepted at " + std::string(t->keyword) + " position " + std::to_string(p) +
                      ", the position of " + hex(owner) + " (" + name_of(owner) +
                      "): a vector would hand that back");
        }
    }
    s.note("(" + std::to_string(probes.size()) + " values probed, " + std::to_string(refused) +
           " refused by the codec)");
}

} // namespace

bool check_codec(const std::vector<std::uint32_t> &singles) {
    report_section types("held type codes"), widths("field widths"), inverse("inverse conversions"),
        library("through the library"), names("name lengths"), read_back("names read back"),
        parse("if_index_parse"), single("type 6"), refused("unclassifiable values");
    check_widths(widths);
    if (widths.ok()) {
        const std::vector<built_codec> all = build_all();
        check_types(all, types);
        check_inverse(all, inverse);
        check_library(all, library);
        if (check_names(all, singles, names)) {
            check_read_back(all, name_table(), read_back);
            check_parse(all, singles, parse);
        } else {
            read_back.skip();
            parse.skip();
        }
        check_single(singles, single);
        check_unclassifiable(all, refused);
    } else {
        for (report_section *s : {&types, &inverse, &library, &names, &read_back, &parse, &single, &refused})
            s->skip();
    }
    bool ok = true;
    for (const report_section *s :
         {&types, &widths, &inverse, &library, &names, &read_back, &parse, &single, &refused})
        ok = s->report() && ok;
    return ok;
}

} // namespace if_index_vec::codec_check
