// A plain model of a vector and a driver that runs mixed operations on three
// real vectors and their models side by side, checking every status, every
// written output or cursor, every count and every printed text.
//
// The model is a std::set of positions per bitmap type, the single slot and
// num_if as stored.  The driver draws its choices from a Source (a seeded
// generator in the unit tests, the fuzzer's input bytes in the fuzz target),
// and stops at the first divergence with a message naming the step.  It uses
// no test framework, so both can share it.
#pragma once

#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>

#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "vector/type_table.hpp"

namespace ifvec::test {

using detail::BitmapType;
using detail::kBitmapTypes;

// The if_index of `type` at bitmap position `pos` (slot*64+port for the port
// types) or, for other types, with number `pos`; built by the codec.
inline std::uint32_t at(std::uint8_t type, int pos) {
    std::uint32_t v = 0;
    const auto slot = static_cast<std::uint8_t>(pos / 64), port = static_cast<std::uint8_t>(pos % 64);
    switch (type) {
    case IF_TYPE_PHY_FC: if_index_phy_fc_port_init(&v, slot, port, 0); break;
    case IF_TYPE_ISCSI: if_index_iscsi_port_init(&v, slot, port); break;
    case IF_TYPE_PORT_CHANNEL: if_index_port_channel_init(&v, static_cast<std::uint16_t>(pos)); break;
    case IF_TYPE_FC_TUNNEL: if_index_fcmpls_tnnl_init(&v, static_cast<std::uint16_t>(pos)); break;
    default: if_index_init(&v, type, static_cast<std::uint32_t>(pos)); break;
    }
    return v;
}

inline bool bit_at(const std::uint8_t *bits, int p) { return (bits[p / 8] >> (7 - p % 8)) & 1; }

inline const std::uint8_t *bits_of(const if_index_vector_t &v, const BitmapType &t) {
    return detail::bitmap_bits(&v, t);
}
inline std::uint8_t *bits_of(if_index_vector_t &v, const BitmapType &t) {
    return detail::bitmap_bits(&v, t);
}

// Set positions of one bitmap, found bit by bit.
inline std::vector<int> positions(const std::uint8_t *bits, int capacity) {
    std::vector<int> out;
    for (int p = 0; p < capacity; ++p)
        if (bit_at(bits, p))
            out.push_back(p);
    return out;
}

// "0-2,5,7-8" for positions {0,1,2,5,7,8}, from a sorted list.
template <class Sorted>
std::string range_text(const Sorted &ps) {
    std::string s;
    for (auto i = ps.begin(); i != ps.end();) {
        auto j = i;
        for (auto k = std::next(j); k != ps.end() && *k == *j + 1; ++k)
            j = k;
        s += (s.empty() ? "" : ",") + std::to_string(*i);
        if (j != i)
            s += '-' + std::to_string(*j);
        i = std::next(j);
    }
    return s;
}

// Runs `fn` with standard output redirected into a temporary file and returns
// every byte written through stdio or fd 1.
template <class Fn>
std::string capture_stdout(Fn &&fn) {
    std::fflush(stdout);
    std::FILE *tmp = std::tmpfile();
    if (tmp == nullptr)
        return "<no temporary file>";
    const int saved = dup(1);
    dup2(fileno(tmp), 1);
    fn();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    std::string out;
    std::rewind(tmp);
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, tmp)) > 0;)
        out.append(buf, n);
    std::fclose(tmp);
    return out;
}

inline std::string name_of(std::uint32_t ifx) {
    char buf[256];
    sprintf_if_index(buf, ifx);
    return buf;
}

struct Model {
    std::array<std::set<int>, 4> rows;
    std::uint32_t single = 0;
    std::uint32_t num_if = 0;

    std::uint32_t stored() const {
        std::uint32_t n = single != 0;
        for (const auto &r : rows)
            n += static_cast<std::uint32_t>(r.size());
        return n;
    }
    static Model of(const if_index_vector_t &v) {
        Model m;
        for (std::size_t r = 0; r < 4; ++r)
            for (int p : positions(bits_of(v, kBitmapTypes[r]), kBitmapTypes[r].capacity))
                m.rows[r].insert(p);
        m.single = v.single_if_index;
        m.num_if = v.num_if;
        return m;
    }
    bool operator==(const Model &) const = default;

    // The three printed texts as a plain reading of the record gives them.
    std::string listing() const {
        if (num_if == 0)
            return "";
        std::string out;
        for (std::size_t r = 0; r < 4; ++r) {
            for (int p : rows[r])
                out += (p == *rows[r].begin() ? "" : ", ") + name_of(at(kBitmapTypes[r].code, p));
            if (!rows[r].empty())
                out += '\n';
        }
        return single != 0 ? out + name_of(single) + '\n' : out;
    }
    std::string count_line() const {
        return "No. of interfaces: " + std::to_string(static_cast<int>(num_if)) + "\n";
    }
    std::string dec() const {
        if (num_if == 0)
            return "";
        std::string out = count_line();
        for (std::size_t r = 0; r < 4; ++r)
            out += std::string(kBitmapTypes[r].dump_header) + range_text(rows[r]) + "\n";
        return out;
    }
    std::string hex() const {
        if (num_if == 0)
            return "";
        std::string out = count_line();
        for (std::size_t r = 0; r < 4; ++r) {
            std::vector<unsigned> bytes(static_cast<std::size_t>(kBitmapTypes[r].capacity / 8));
            for (int p : rows[r])
                bytes[static_cast<std::size_t>(p / 8)] |= 0x80u >> (p % 8);
            out += kBitmapTypes[r].dump_header;
            for (unsigned b : bytes)
                out += {"0123456789abcdef"[b >> 4], "0123456789abcdef"[b & 15]};
            out += '\n';
        }
        return out;
    }
};

// Stops the current driver operation at the first difference.
#define MODEL_CHECK_EQ(got, want)                                                        \
    do {                                                                                 \
        if (!((got) == (want))) {                                                        \
            std::ostringstream msg_;                                                     \
            msg_ << "step " << step_ << " (" << what_ << "): " #got " is " << (got)     \
                 << ", expected " << (want);                                             \
            failure_ = msg_.str();                                                       \
            return;                                                                      \
        }                                                                                \
    } while (0)

template <class Source>
class Driver {
  public:
    static constexpr std::uint32_t kSentinel = 0xFEEDFACE;

    // With compare_prints false the print functions still run, their text
    // going wherever standard output goes, but it is not captured (capturing
    // redirects the process's fd 1, which concurrent drivers cannot share).
    explicit Driver(Source &src, bool compare_prints = true)
        : src_(src), compare_prints_(compare_prints) {
        for (auto &v : vecs_)
            if_index_vector_init(&v);
    }

    // Runs until `steps` operations are done, the source runs dry or a
    // difference is found; returns the difference, or "" when there is none.
    std::string run(int steps) {
        for (step_ = 0; step_ < steps && failure_.empty() && !src_.done(); ++step_) {
            one_step();
            for (unsigned i = 0; i < 3 && failure_.empty() && step_ % 64 == 0; ++i)
                compare_record(i);
        }
        for (unsigned i = 0; i < 3 && failure_.empty(); ++i)
            compare_record(i);
        return failure_;
    }

  private:
    struct Ifx {
        std::uint8_t code;
        int pos;
        std::uint32_t value;
        int row;             // bitmap row, or -1
        bool fields = true;  // the codec gives its position: no slot or port of 255,
                             // no channel or tunnel number of 65535
        bool walkable() const { return row >= 0 && fields; }
        bool in_range() const {
            return walkable() && pos < kBitmapTypes[static_cast<std::size_t>(row)].capacity;
        }
    };

    Source &src_;
    bool compare_prints_;
    std::array<if_index_vector_t, 3> vecs_{};
    std::array<Model, 3> models_{};
    int step_ = 0;
    std::string what_, failure_;

    unsigned pick(unsigned n) { return src_.pick(n); }

    static bool fields_readable(std::uint8_t code, int pos) {
        if (code == IF_TYPE_PHY_FC || code == IF_TYPE_ISCSI)
            return pos / 64 != 255 && pos % 64 != 255;
        return (code != IF_TYPE_PORT_CHANNEL && code != IF_TYPE_FC_TUNNEL) || pos != 65535;
    }
    static Ifx make(std::uint8_t code, int pos) {
        return {code, pos, at(code, pos), detail::bitmap_row(code), fields_readable(code, pos)};
    }

    // An arbitrary value as the codec classifies it.  The position of a port
    // type is slot * 64 + port even for ports of 64 and more, which land on
    // another slot's position.
    static Ifx from_raw(std::uint32_t v) {
        if_index_type_info_t info{};
        if (if_index_get_type(v, &info) != IF_INDEX_CODEC_OK)
            return {0xFF, 0, v, -1};
        int pos = static_cast<int>(info.number);
        bool fields = fields_readable(info.type, pos);
        if (info.type == IF_TYPE_PHY_FC || info.type == IF_TYPE_ISCSI) {
            const unsigned slot = info.number >> 16, port = info.number >> 8 & 0xFF;
            pos = static_cast<int>(slot * 64 + port);
            fields = slot != 255 && port != 255;
        }
        return {info.type, pos, v, detail::bitmap_row(info.type), fields};
    }

    // Mostly held types near word edges and anywhere in range; sometimes
    // beyond the capacity, the single slot, types without storage, and the
    // unclassifiable value 0.
    Ifx random_ifx() {
        static constexpr std::uint8_t kCodes[] = {IF_TYPE_PHY_FC, IF_TYPE_PORT_CHANNEL, IF_TYPE_ISCSI,
                                                  IF_TYPE_FC_TUNNEL, IF_TYPE_SINGLE, 10, 2, 0, 16, 255};
        if (pick(64) == 0)
            return {0xFF, 0, 0, -1}; // unclassifiable: treated like an unheld type
        if (pick(32) == 0) // any 32-bit value: every type code, reserved bits, ports >= 64
            return from_raw(pick(1u << 16) << 16 | pick(1u << 16));
        const std::uint8_t code = kCodes[pick(pick(4) == 0 ? 10 : 4)];
        const int row = detail::bitmap_row(code);
        if (row < 0)
            return make(code, static_cast<int>(1 + pick(20)));
        const int cap = kBitmapTypes[static_cast<std::size_t>(row)].capacity;
        const bool ports = code == IF_TYPE_PHY_FC || code == IF_TYPE_ISCSI;
        const auto ucap = static_cast<unsigned>(cap);
        switch (pick(8)) {
        case 0: return make(code, cap + static_cast<int>(pick(ports ? 256 * 64 - ucap : 65536 - ucap)));
        case 1: case 2: case 3: return make(code, static_cast<int>((pick(ucap / 64) * 64 + 60 + pick(8)) % ucap));
        default: return make(code, static_cast<int>(pick(ucap)));
        }
    }

    void one_step() {
        const unsigned a = pick(3), b = pick(3);
        if_index_vector_t &v = vecs_[a];
        Model &m = models_[a];
        const Ifx x = random_ifx();
        switch (pick(14)) {
        case 0: case 1: case 2: add(v, m, x); break;
        case 3: remove(v, m, x); break;
        case 4: present(v, m, x); break;
        case 5: algebra(a, b); break;
        case 6: equal(a, b); break;
        case 7: cursor_walk(v, m); break;
        case 8: typed_walk(v, m, x); break;
        case 9: incr_from(v, m, x); break;
        case 10: counts(v, m); break;
        case 11: print(v, m); break;
        case 12: // make num_if disagree with the bits, or the bits with num_if
            if (pick(2) == 0) {
                // mostly small; sometimes any value (the count line prints it as an int)
                v.num_if = m.num_if = pick(8) != 0 ? pick(4) : pick(1u << 16) << 16 | pick(1u << 16);
            } else {
                const BitmapType &t = kBitmapTypes[pick(4)];
                bits_of(v, t)[pick(static_cast<unsigned>(t.capacity / 8))] =
                    static_cast<std::uint8_t>(pick(256));
                m = Model::of(v);
            }
            break;
        default:
            what_ = "copy";
            if_index_vector_copy(&vecs_[b], &v);
            models_[b] = m;
            break;
        }
    }

    void describe(const char *op, const Ifx &x) {
        what_ = std::string(op) + " code " + std::to_string(x.code) + " pos " + std::to_string(x.pos);
    }

    void add(if_index_vector_t &v, Model &m, const Ifx &x) {
        describe("add", x);
        std::uint32_t want = IF_INDEX_VECTOR_BAD_TYPE;
        if (x.code == IF_TYPE_SINGLE) {
            m.num_if += m.single == 0;
            m.single = x.value;
            want = IF_INDEX_VECTOR_OK;
        } else if (x.in_range()) {
            m.num_if += m.rows[static_cast<std::size_t>(x.row)].insert(x.pos).second;
            want = IF_INDEX_VECTOR_OK;
        }
        MODEL_CHECK_EQ(if_index_vector_add(&v, x.value), want);
        MODEL_CHECK_EQ(v.num_if, m.num_if);
    }

    void remove(if_index_vector_t &v, Model &m, const Ifx &x) {
        describe("remove", x);
        std::uint32_t want = IF_INDEX_VECTOR_OK;
        if (m.num_if == 0) {
            // answered without looking at the if_index
        } else if (x.code == IF_TYPE_SINGLE) {
            m.num_if -= m.single != 0;
            m.single = 0;
        } else if (x.in_range()) {
            m.num_if -= static_cast<std::uint32_t>(m.rows[static_cast<std::size_t>(x.row)].erase(x.pos));
        } else {
            want = IF_INDEX_VECTOR_BAD_TYPE;
        }
        MODEL_CHECK_EQ(if_index_vector_remove(&v, x.value), want);
        MODEL_CHECK_EQ(v.num_if, m.num_if);
    }

    void present(const if_index_vector_t &v, const Model &m, const Ifx &x) {
        describe("is_present", x);
        int want = 0;
        if (m.num_if != 0 && x.code == IF_TYPE_SINGLE)
            want = x.value == m.single;
        else if (m.num_if != 0 && x.in_range())
            want = m.rows[static_cast<std::size_t>(x.row)].count(x.pos) != 0;
        MODEL_CHECK_EQ(if_index_vector_is_present(&v, x.value), want);
    }

    void counts(const if_index_vector_t &v, const Model &m) {
        what_ = "counts";
        for (std::uint32_t code : {1u, 4u, 6u, 10u, 11u, 15u, 20u, 0x10001u}) {
            const int row = detail::bitmap_row(code);
            const std::uint32_t want =
                row >= 0 ? static_cast<std::uint32_t>(m.rows[static_cast<std::size_t>(row)].size())
                         : std::uint32_t{code == IF_TYPE_SINGLE && m.single != 0};
            MODEL_CHECK_EQ(if_index_vector_num_if_type(&v, code), want);
        }
        MODEL_CHECK_EQ(if_index_vector_num_if(&v), m.num_if);
    }

    void algebra(unsigned a, unsigned b) {
        Model &d = models_[a];
        const Model s = models_[b];
        const unsigned op = pick(3);
        what_ = std::string(op == 0 ? "union" : op == 1 ? "intersection" : "subtract") +
                (a == b ? " with itself" : "");
        for (std::size_t r = 0; r < 4; ++r) {
            std::set<int> out = op == 0 ? s.rows[r] : std::set<int>{};
            for (int p : d.rows[r])
                if (op == 0 || (op == 1) == (s.rows[r].count(p) != 0))
                    out.insert(p);
            d.rows[r] = out;
        }
        d.num_if = d.stored();
        const std::uint32_t got = op == 0   ? if_index_vector_union(&vecs_[a], &vecs_[b])
                                  : op == 1 ? if_index_vector_intersection(&vecs_[a], &vecs_[b])
                                            : if_index_vector_subtract(&vecs_[a], &vecs_[b]);
        MODEL_CHECK_EQ(got, d.num_if);
        compare_record(a);
    }

    void equal(unsigned a, unsigned b) {
        what_ = "is_equal";
        MODEL_CHECK_EQ(if_index_vector_is_equal(&vecs_[a], &vecs_[b]), int{models_[a] == models_[b]});
    }

    // The first member at or after (row, start) in canonical order.
    struct Member {
        std::size_t row;
        int pos;
        std::uint32_t value;
    };
    static bool next_member(const Model &m, std::size_t row, int start, Member *out) {
        for (; row < 4; ++row, start = 0) {
            auto it = m.rows[row].lower_bound(start);
            if (it != m.rows[row].end()) {
                *out = {row, *it, at(kBitmapTypes[row].code, *it)};
                return true;
            }
        }
        return false;
    }

    void cursor_walk(const if_index_vector_t &v, const Model &m) {
        what_ = "cursor walk";
        std::uint32_t cursor = kSentinel, first = kSentinel;
        Member cur{};
        const bool in_bitmaps = m.num_if != 0 && next_member(m, 0, 0, &cur);
        const bool only_single = m.num_if != 0 && !in_bitmaps && m.single != 0;
        const std::uint32_t rc = in_bitmaps || only_single ? IF_INDEX_VECTOR_OK : IF_INDEX_VECTOR_EMPTY;
        const std::uint32_t want = in_bitmaps ? cur.value : only_single ? m.single : kSentinel;
        MODEL_CHECK_EQ(if_index_vector_itr_begin(&v, &cursor), rc);
        MODEL_CHECK_EQ(if_index_vector_first(&v, &first), rc);
        MODEL_CHECK_EQ(cursor, want);
        MODEL_CHECK_EQ(first, want);
        if (!in_bitmaps)
            return;
        // Every further member, then the single slot left in the cursor.
        for (Member nx{};; cur = nx) {
            const bool more = next_member(m, cur.row, cur.pos + 1, &nx);
            MODEL_CHECK_EQ(if_index_vector_itr_incr(&v, &cursor),
                           more ? std::uint32_t{IF_INDEX_VECTOR_OK} : std::uint32_t{IF_INDEX_VECTOR_END});
            if (!more) {
                MODEL_CHECK_EQ(cursor, m.single != 0 ? m.single : cur.value);
                return;
            }
            MODEL_CHECK_EQ(cursor, nx.value);
        }
    }

    // next, get_next and get from an arbitrary if_index, member or not.
    void typed_walk(const if_index_vector_t &v, const Model &m, const Ifx &x) {
        describe("next/get", x);
        std::uint32_t out = kSentinel, out2 = kSentinel, got = kSentinel;
        std::uint32_t want = IF_INDEX_VECTOR_BAD_TYPE, value = kSentinel;
        if (x.code == IF_TYPE_SINGLE) {
            want = IF_INDEX_VECTOR_END;
        } else if (x.walkable()) {
            const auto &s = m.rows[static_cast<std::size_t>(x.row)];
            const auto it = s.upper_bound(x.pos);
            want = it == s.end() ? IF_INDEX_VECTOR_END : IF_INDEX_VECTOR_OK;
            value = it == s.end() ? kSentinel : at(x.code, *it);
        }
        MODEL_CHECK_EQ(if_index_vector_next(&v, x.value, &out), want);
        MODEL_CHECK_EQ(out, value);
        MODEL_CHECK_EQ(if_index_vector_get_next(&v, &x.value, &out2), want);
        MODEL_CHECK_EQ(out2, value);
        const bool gettable = x.row >= 0 || x.code == IF_TYPE_SINGLE || x.code == 10;
        MODEL_CHECK_EQ(if_index_vector_get(&v, &x.value, &got),
                       gettable ? std::uint32_t{IF_INDEX_VECTOR_OK} : std::uint32_t{IF_INDEX_VECTOR_BAD_TYPE});
        MODEL_CHECK_EQ(got, gettable ? x.value : kSentinel);
    }

    void incr_from(const if_index_vector_t &v, const Model &m, const Ifx &x) {
        describe("itr_incr", x);
        std::uint32_t cursor = x.value;
        Member nx{};
        const bool more = x.walkable() && next_member(m, static_cast<std::size_t>(x.row), x.pos + 1, &nx);
        MODEL_CHECK_EQ(if_index_vector_itr_incr(&v, &cursor),
                       more ? std::uint32_t{IF_INDEX_VECTOR_OK} : std::uint32_t{IF_INDEX_VECTOR_END});
        MODEL_CHECK_EQ(cursor, more ? nx.value : x.walkable() && m.single != 0 ? m.single : x.value);
    }

    void print(const if_index_vector_t &v, const Model &m) {
        if (!compare_prints_) {
            if_index_vector_printf(&v);
            if_index_vector_printf_dec(&v);
            if_index_vector_printf_hex(&v);
            return;
        }
        what_ = "print";
        MODEL_CHECK_EQ(capture_stdout([&] { if_index_vector_printf(&v); }), m.listing());
        MODEL_CHECK_EQ(capture_stdout([&] { if_index_vector_printf_dec(&v); }), m.dec());
        MODEL_CHECK_EQ(capture_stdout([&] { if_index_vector_printf_hex(&v); }), m.hex());
        MODEL_CHECK_EQ(if_index_vector_to_array(&v) + if_index_vector_from_array(&v) +
                           if_index_vector_sprintf(&v),
                       0);
    }

    void compare_record(unsigned i) {
        what_ = "record " + std::to_string(i);
        MODEL_CHECK_EQ(Model::of(vecs_[i]) == models_[i], true);
    }
};

#undef MODEL_CHECK_EQ

// Choices from a seeded generator.
struct RandomSource {
    std::uint64_t state;
    unsigned pick(unsigned n) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<unsigned>((state >> 33) % n);
    }
    bool done() const { return false; }
};

} // namespace ifvec::test
