// SPDX-License-Identifier: MIT
// The differential driver: mixed operations on three vectors and their models,
// via C and C++, comparing every result and each record byte for byte.
#pragma once

#include <if_index_vec/if_index_text.hpp>
#include <if_index_vec/if_index_vector.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "capture.hpp"
#include "layout.hpp"
#include "model.hpp"

namespace if_index_vec::test {

// Choices from a seeded generator or a fuzzer's bytes (exhausted: zeros, run ends).
class Source {
public:
    explicit Source(std::uint64_t seed) : state_(seed) {}
    Source(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    unsigned pick(unsigned n) {
        if (data_ == nullptr)
            return static_cast<unsigned>(
                ((state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL) >> 33) % n);
        std::uint32_t v = 0;
        for (unsigned width = n <= 0x100u ? 1 : n <= 0x10000u ? 2 : 4; width-- > 0;)
            v = v << 8 | (pos_ < size_ ? data_[pos_++] : 0u);
        return v % n;
    }
    bool done() const { return data_ != nullptr && pos_ >= size_; }

private:
    std::uint64_t state_ = 0;
    const std::uint8_t *data_ = nullptr;
    std::size_t size_ = 0, pos_ = 0;
};

// Stops the current operation at the first difference.
#define MODEL_CHECK_EQ(got, want)                                                                           \
    do {                                                                                                    \
        if (!((got) == (want)))                                                                             \
            return void(failure_ = (std::ostringstream() << "step " << step_ << " (" << what_ << "): " #got \
                                                         << " is " << (got) << ", expected " << (want))     \
                                       .str());                                                             \
    } while (0)

class Driver {
public:
    static constexpr std::uint32_t kNone = 0xFEEDFACE; // in outputs that must stay unwritten
    static constexpr std::uint32_t kOk = IF_INDEX_VECTOR_OK, kEmpty = IF_INDEX_VECTOR_EMPTY,
                                   kEnd = IF_INDEX_VECTOR_END, kBadType = IF_INDEX_VECTOR_BAD_TYPE;

    // compare_prints false: texts not captured (fd 1 cannot be shared by threads).
    explicit Driver(Source &src, bool compare_prints = true) : src_(src), compare_prints_(compare_prints) {
        for (auto &v : vecs_)
            std::memset(&v, 0xA5, sizeof v), if_index_vector_init(&v); // init writes every byte
    }

    // Runs `steps` operations (or until the source is dry); returns the first difference or "".
    std::string run(int steps) {
        for (step_ = 0; images_agree() && step_ != steps && !src_.done(); ++step_)
            one_step();
        return failure_;
    }

    // Named steps, ';'-separated: "add|remove|present|next I ITEMS", "walk|counts|print I",
    // "copy|union|intersection|subtract|equal I J"; '+' runs it via C++. ITEMS: KIND:N or
    // KIND:FIRST-LAST[/STEP] (fc, pc, iscsi, tunnel: position; single, type10: codec's N-th), raw:VALUE.
    std::string script(const std::string &steps) {
        std::istringstream in(steps);
        std::string line;
        for (step_ = 0; images_agree() && std::getline(in, line, ';'); ++step_)
            scripted(line);
        return failure_;
    }

private:
    // An if_index, its type code (0xFF: unclassifiable), bitmap row (-1: none) and position.
    struct Ifx {
        std::uint32_t value;
        std::uint8_t code;
        int row, pos;
        bool in_range() const { return row >= 0 && pos < kRows[row].capacity; }
    };

    Source &src_;
    bool compare_prints_, cxx_ = false;
    std::array<if_index_vector_t, 3> vecs_{};
    std::array<Model, 3> models_{};
    int step_ = 0;
    std::string what_, failure_;

    unsigned pick(unsigned n) { return src_.pick(n); }

    bool images_agree() {
        for (unsigned i = 0; i < 3 && failure_.empty(); ++i)
            if (std::memcmp(&vecs_[i], models_[i].image().data(), kRecordSize) != 0)
                failure_ = "step " + std::to_string(step_) + " (" + what_ + "): record " + std::to_string(i) +
                           " differs from the model";
        return failure_.empty();
    }

    static std::vector<Ifx> items(const std::string &item) {
        static constexpr std::pair<const char *, std::uint8_t> kKinds[] = {
            {"fc", 1}, {"pc", 4}, {"iscsi", 11}, {"tunnel", 15}, {"single", kSingle}, {"type10", 10}};
        const std::size_t colon = item.find(':');
        const std::string kind = item.substr(0, colon);
        if (kind == "raw")
            return {describe(static_cast<std::uint32_t>(std::stoul(item.substr(colon + 1), nullptr, 0)))};
        unsigned first = 0, last = 0, stride = 1;
        const int fields = std::sscanf(item.c_str() + colon + 1, "%u-%u/%u", &first, &last, &stride);
        std::vector<Ifx> out;
        for (const auto &[name, code] : kKinds)
            for (unsigned p = first; kind == name && p <= (fields > 1 ? last : first); p += stride)
                out.push_back(describe(row_of(code) >= 0 ? at(code, static_cast<int>(p)) : classified_as(code).at(p)));
        return out;
    }

    void scripted(const std::string &line) {
        static constexpr const char *kVerbs[] = {"add",  "remove", "present", "next",         "walk",     "counts",
                                                 "print", "copy",  "union",   "intersection", "subtract", "equal"};
        std::istringstream in(line);
        std::string verb, item;
        unsigned a = 0, b = 0;
        in >> verb >> a;
        what_ = line;
        cxx_ = verb.starts_with('+');
        const auto v = a > 2 ? 12
                             : std::find(std::begin(kVerbs), std::end(kVerbs), verb.substr(cxx_)) - std::begin(kVerbs);
        std::vector<Ifx> xs;
        if (v < 4 && in >> item && !(xs = items(item)).empty())
            for (const Ifx &x : xs)
                v < 3 ? membership(a, x, static_cast<unsigned>(v)) : walk_from(a, x);
        else if (v == 4 || v == 5 || v == 6)
            v == 4 ? walk(a) : v == 5 ? counts(a) : print(a);
        else if (v >= 7 && v < 12 && in >> b && b < 3)
            v == 7 ? copy(a, b) : v == 11 ? equal(a, b) : algebra(a, b, static_cast<unsigned>(v - 8), 0);
        else
            failure_ = "not a step: '" + line + "'";
    }

    // Fields unmasked: slot * 64 + port, positions beyond the capacity (all-ones fields too).
    static Ifx describe(std::uint32_t v) {
        const location l = locate(v);
        const int r = row_of(l.type);
        return {v, l.type, r, r >= 0 ? l.position : 0};
    }

    // Mostly held types near word edges, else capacity edges, ports 64+, all-ones, single, unheld, 0.
    Ifx random_ifx() {
        static constexpr std::uint8_t kCodes[] = {1, 4, 11, 15, kSingle, 10, 2, 0, 16, 255};
        if (pick(32) == 0)
            return describe(pick(16) == 0 ? 0 : pick(1u << 16) << 16 | pick(1u << 16));
        const std::uint8_t code = kCodes[pick(pick(4) == 0 ? 10 : 4)];
        const int r = row_of(code);
        if (r < 0) {
            const std::vector<std::uint32_t> &same = classified_as(code);
            return describe(same.empty() ? pick(1u << 16) : same[pick(static_cast<unsigned>(same.size()))]);
        }
        const auto cap = static_cast<unsigned>(kRows[r].capacity);
        const bool ports = kRows[r].ports;
        switch (pick(10)) {
        case 0:
            if (ports && pick(2))
                return describe(port_ifx(code, pick(4) ? pick(16) : pick(256), 64 + pick(192)));
            return describe(at(code, static_cast<int>(cap + pick(ports ? 256 * 64 - cap : 65536 - cap))));
        case 1:
            if (pick(3) == 0)
                return describe(ports ? port_ifx(code, 255, 255) : at(code, 0xFFFF));
            return describe(at(code, static_cast<int>(cap - pick(2))));
        case 2:
        case 3:
        case 4: return describe(at(code, static_cast<int>((pick(cap / 64) * 64 + 60 + pick(8)) % cap)));
        default: return describe(at(code, static_cast<int>(pick(cap))));
        }
    }

    // `c` on record i, or in C++ steps `cxx` on an index_vector copy of it.
    template <class C, class Cxx>
    auto call(unsigned i, C c, Cxx cxx) {
        if (!cxx_)
            return c(&vecs_[i]);
        index_vector w(vecs_[i]);
        const auto r = cxx(w);
        vecs_[i] = w.raw();
        return r;
    }

    void one_step() {
        const unsigned a = pick(3), b = pick(3), op = pick(11);
        cxx_ = pick(4) == 0;
        const Ifx x = random_ifx();
        what_ = std::to_string(op) + (cxx_ ? " (C++)" : "") + " on " + std::to_string(a) + ", " +
                std::to_string(b) + ", code " + std::to_string(x.code) + " pos " + std::to_string(x.pos);
        switch (op) {
        case 0:
        case 1:
        case 2:
        case 3: return membership(a, x, pick(4) % 3); // add twice as often
        case 4: {
            const unsigned kind = pick(3), binary = pick(2), c = pick(3);
            algebra(a, b, kind, binary);
            return failure_.empty() ? equal(a, c) : void();
        }
        case 5: return walk(a);
        case 6: return walk_from(a, x);
        case 7: return counts(a);
        case 8: return print(a);
        case 9: return poke(a);
        default: return copy(a, b);
        }
    }

    // add, remove or is_present (op 0, 1, 2).
    void membership(unsigned i, const Ifx &x, unsigned op) {
        Model &m = models_[i];
        const bool single = x.code == kSingle, held = single || x.in_range();
        std::set<int> &row = m.rows[static_cast<std::size_t>(x.in_range() ? x.row : 0)];
        const auto present = [&](auto *v) { return if_index_vector_is_present(v, x.value); };
        const auto contains = [&](index_vector &w) { return int{w.contains(x.value)}; };
        if (op == 2) {
            MODEL_CHECK_EQ(call(i, present, contains),
                           m.num_if != 0 && (single ? x.value == m.single : x.in_range() && row.count(x.pos)));
            return;
        }
        const std::uint32_t want = held || (op == 1 && m.num_if == 0) ? kOk : kBadType;
        if (op == 0 && held) {
            m.num_if += single ? m.single == 0 : row.insert(x.pos).second;
            m.single = single ? x.value : m.single;
        } else if (op == 1 && held && m.num_if != 0) {
            m.num_if -= single ? m.single != 0 : static_cast<std::uint32_t>(row.erase(x.pos));
            m.single = single ? 0 : m.single;
        }
        const auto c = [&](auto *v) { return (op == 0 ? if_index_vector_add : if_index_vector_remove)(v, x.value); };
        const auto cxx = [&](index_vector &w) {
            return status_value(op ? w.erase(x.value) : w.insert(x.value));
        };
        MODEL_CHECK_EQ(call(i, c, cxx), want);
    }

    void counts(unsigned i) {
        const Model &m = models_[i];
        for (std::uint32_t code : {1u, 4u, 6u, 10u, 11u, 15u, 20u, 0x10001u}) {
            const int r = row_of(code);
            const auto c = [&](auto *v) { return if_index_vector_num_if_type(v, code); };
            const auto cxx = [&](index_vector &w) { return w.count(static_cast<if_type>(code)); };
            MODEL_CHECK_EQ(call(i, c, cxx), r >= 0 ? static_cast<std::uint32_t>(m.rows[std::size_t(r)].size())
                                                   : std::uint32_t{code == kSingle && m.single != 0});
        }
        const auto c = [&](auto *v) { return if_index_vector_num_if(v); };
        MODEL_CHECK_EQ(call(i, c, [&](index_vector &w) { return w.empty() ? 0u : w.size(); }), m.num_if);
    }

    // union, intersection or subtract (C++: compound or binary).
    void algebra(unsigned a, unsigned b, unsigned op, unsigned binary) {
        Model &d = models_[a];
        const Model s = models_[b];
        what_ += ", op " + std::to_string(op) + (binary ? " binary" : "");
        for (std::size_t r = 0; r < 4; ++r) {
            std::set<int> out = op == 0 ? s.rows[r] : std::set<int>{};
            for (int p : d.rows[r])
                if (op == 0 || (op == 1) == (s.rows[r].count(p) != 0))
                    out.insert(p);
            d.rows[r] = out;
        }
        d.num_if = d.stored();
        constexpr std::uint32_t (*kOps[])(if_index_vector_t *, const if_index_vector_t *) = {
            if_index_vector_union, if_index_vector_intersection, if_index_vector_subtract};
        const index_vector src(vecs_[b]);
        const auto cxx = [&](index_vector &w) {
            if (binary)
                return (w = op == 0 ? w | src : op == 1 ? w & src : w - src).size();
            return (op == 0 ? w |= src : op == 1 ? w &= src : w -= src).size();
        };
        MODEL_CHECK_EQ(call(a, [&](auto *v) { return kOps[op](v, &vecs_[b]); }, cxx), d.num_if);
    }

    void equal(unsigned a, unsigned c) {
        const Model &x = models_[a], &y = models_[c];
        const int want = x.num_if == y.num_if && x.rows == y.rows && x.single == y.single;
        MODEL_CHECK_EQ(if_index_vector_is_equal(&vecs_[a], &vecs_[c]), want);
        MODEL_CHECK_EQ(int{index_vector(vecs_[a]) == index_vector(vecs_[c])}, want);
    }

    void copy(unsigned a, unsigned b) {
        if_index_vector_copy(&vecs_[b], &vecs_[a]);
        models_[b] = models_[a];
    }

    // Corrupts num_if, a bitmap byte or a byte count; the model follows.
    void poke(unsigned i) {
        Model &m = models_[i];
        auto *bytes = reinterpret_cast<std::uint8_t *>(&vecs_[i]);
        const auto r = static_cast<std::size_t>(pick(4));
        const unsigned kind = pick(3), byte = pick(static_cast<unsigned>(kRows[r].capacity / 8)),
                       value = pick(256);
        constexpr std::uint32_t kIntEdges[] = {0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
        if (kind == 0) // mostly small; sometimes where "%d" turns negative, or any value
            vecs_[i].num_if = m.num_if = pick(8) != 0 ? value % 4
                                         : pick(2)    ? kIntEdges[pick(3)]
                                                      : pick(1u << 16) << 16 | pick(1u << 16);
        else if (kind == 1)
            for (int k = 0; k < 8; ++k) {
                bytes[kRows[r].offset + 4 + byte] = static_cast<std::uint8_t>(value);
                const int p = static_cast<int>(byte) * 8 + k;
                (value << k) & 0x80 ? (void)m.rows[r].insert(p) : (void)m.rows[r].erase(p);
            }
        else
            std::memcpy(bytes + kRows[r].offset, &(m.counts[r] = value << 8 | byte), 4);
    }

    // itr_begin, first, itr_incr to the end (cursor keeps the single-slot member), C++ iteration.
    void walk(unsigned i) {
        const if_index_vector_t &v = vecs_[i];
        const Model &m = models_[i];
        std::vector<std::uint32_t> all, got;
        for (std::size_t r = 0; r < 4 && m.num_if != 0; ++r)
            for (int p : m.rows[r])
                all.push_back(at(kRows[r].code, p));
        const std::size_t in_bitmaps = all.size();
        if (m.num_if != 0 && m.single != 0)
            all.push_back(m.single);
        std::uint32_t cursor = kNone, first = kNone;
        MODEL_CHECK_EQ(if_index_vector_itr_begin(&v, &cursor), all.empty() ? kEmpty : kOk);
        MODEL_CHECK_EQ(if_index_vector_first(&v, &first), all.empty() ? kEmpty : kOk);
        MODEL_CHECK_EQ(cursor, all.empty() ? kNone : all.front());
        MODEL_CHECK_EQ(first, cursor);
        for (std::uint32_t x : index_vector(v))
            got.push_back(x);
        MODEL_CHECK_EQ(got == all, true);
        // it++ hands back the member it leaves, * reads in place, == meets end only past the last.
        const index_vector w(v);
        got.clear();
        auto it = w.begin();
        for (; !(it == w.end()) && got.size() <= all.size(); got.push_back(*it++))
            MODEL_CHECK_EQ(*it, *it);
        MODEL_CHECK_EQ(got == all, true);
        MODEL_CHECK_EQ(index_vector::iterator() == w.end(), true); // as default-constructed
        for (std::size_t k = 1; k <= in_bitmaps; ++k) {
            MODEL_CHECK_EQ(if_index_vector_itr_incr(&v, &cursor), k < in_bitmaps ? kOk : kEnd);
            MODEL_CHECK_EQ(cursor, k < in_bitmaps ? all[k] : all.back());
        }
    }

    // next, get_next, itr_incr and get from an if_index, member or not.
    void walk_from(unsigned i, const Ifx &x) {
        const if_index_vector_t &v = vecs_[i];
        const Model &m = models_[i];
        std::uint32_t next_rc = x.code == kSingle ? kEnd : kBadType, next = kNone;
        std::uint32_t incr_rc = kEnd, incr = x.row >= 0 && m.single != 0 ? m.single : x.value;
        for (auto r = static_cast<std::size_t>(x.row), start = static_cast<std::size_t>(x.pos) + 1;
             x.row >= 0 && r < 4 && incr_rc == kEnd; ++r, start = 0) {
            const auto it = m.rows[r].lower_bound(static_cast<int>(start));
            next_rc = r == static_cast<std::size_t>(x.row) && it != m.rows[r].end() ? kOk : kEnd;
            if (it != m.rows[r].end())
                incr_rc = kOk, incr = at(kRows[r].code, *it), next = next_rc == kOk ? incr : kNone;
        }
        std::uint32_t out = kNone, out2 = kNone, got = kNone, cursor = x.value;
        MODEL_CHECK_EQ(if_index_vector_next(&v, x.value, &out), next_rc);
        MODEL_CHECK_EQ(out, next);
        MODEL_CHECK_EQ(if_index_vector_get_next(&v, &x.value, &out2), next_rc);
        MODEL_CHECK_EQ(out2, next);
        MODEL_CHECK_EQ(if_index_vector_itr_incr(&v, &cursor), incr_rc);
        MODEL_CHECK_EQ(cursor, incr);
        const bool gettable = row_of(x.code) >= 0 || x.code == kSingle || x.code == 10;
        MODEL_CHECK_EQ(if_index_vector_get(&v, &x.value, &got), gettable ? kOk : kBadType);
        MODEL_CHECK_EQ(got, gettable ? x.value : kNone);
    }

    void print(unsigned i) {
        const if_index_vector_t *v = &vecs_[i];
        const Model &m = models_[i];
        MODEL_CHECK_EQ(
            if_index_vector_to_array(v) + if_index_vector_from_array(v) + if_index_vector_sprintf(v), 0);
        if (!compare_prints_)
            return if_index_vector_printf(v), if_index_vector_printf_dec(v), if_index_vector_printf_hex(v);
        MODEL_CHECK_EQ(capture_stdout([&] { if_index_vector_printf(v); }), m.listing());
        MODEL_CHECK_EQ(capture_stdout([&] { if_index_vector_printf_dec(v); }), m.dump(false));
        MODEL_CHECK_EQ(capture_stdout([&] { if_index_vector_printf_hex(v); }), m.dump(true));
        MODEL_CHECK_EQ(index_vector(*v).to_string(), m.listing());
        // The text layer formats each bitmap as the dump does, and parses it back.
        for (std::size_t r = 0; r < 4; ++r) {
            std::vector<int> back;
            MODEL_CHECK_EQ(format_range_list(m.rows[r]), m.ranges(r));
            MODEL_CHECK_EQ(if_index_vec::describe(parse_range_list(m.ranges(r), kRows[r].capacity, back).code),
                           if_index_vec::describe(text_errc::ok));
            MODEL_CHECK_EQ(back == std::vector<int>(m.rows[r].begin(), m.rows[r].end()), true);
        }
    }
};

#undef MODEL_CHECK_EQ

} // namespace if_index_vec::test
