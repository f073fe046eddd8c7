// Randomized differential test: thousands of mixed operations on three
// vectors, each checked against a plain model (a std::set of positions per
// bitmap type, the single slot and num_if as stored).  Every status, every
// written output or cursor, and every count is compared, including after the
// stored num_if has been made to disagree with the bits.
#include "support.hpp"

#include <array>
#include <random>
#include <set>

namespace {

using namespace ifv::test;

constexpr std::uint32_t kSentinel = 0xFEEDFACE;

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
};

// One if_index as the test made it: its type code and position (or number).
struct Ifx {
    std::uint8_t code;
    int pos;
    std::uint32_t value;
    int row; // bitmap row, or -1
    bool in_range() const { return row >= 0 && pos < kBitmapTypes[static_cast<std::size_t>(row)].capacity; }
};

Ifx make_ifx(std::uint8_t code, int pos) {
    return {code, pos, at(code, pos), ifv::detail::bitmap_row(code)};
}

class Driver {
  public:
    explicit Driver(unsigned seed) : rng_(seed) {
        for (auto &v : vecs_)
            if_index_vector_init(&v);
    }

    void run(int steps) {
        for (int i = 0; i < steps && !::testing::Test::HasFatalFailure(); ++i) {
            step_ = i;
            one_step();
            if (i % 64 == 0)
                check_all();
        }
        check_all();
    }

  private:
    std::mt19937 rng_;
    std::array<if_index_vector_t, 3> vecs_{};
    std::array<Model, 3> models_{};
    int step_ = 0;

    unsigned pick(unsigned n) { return static_cast<unsigned>(rng_() % n); }

    Ifx random_ifx() {
        static constexpr std::uint8_t kCodes[] = {IF_TYPE_PHY_FC, IF_TYPE_PORT_CHANNEL, IF_TYPE_ISCSI,
                                                  IF_TYPE_FC_TUNNEL, IF_TYPE_SINGLE, 10, 2, 0, 16, 255};
        const std::uint8_t code = kCodes[pick(pick(4) == 0 ? 10 : 4)];
        const int row = ifv::detail::bitmap_row(code);
        if (row < 0)
            return make_ifx(code, static_cast<int>(1 + pick(20)));
        const int cap = kBitmapTypes[static_cast<std::size_t>(row)].capacity;
        const bool port_type = code == IF_TYPE_PHY_FC || code == IF_TYPE_ISCSI;
        if (pick(16) == 0) // beyond the capacity, up to the widest field value
            return make_ifx(code, cap + static_cast<int>(pick(port_type ? 256 * 64 - cap : 65536 - cap)));
        // Cluster around word edges half of the time so runs and borders occur.
        if (pick(2) == 0)
            return make_ifx(code, static_cast<int>((pick(static_cast<unsigned>(cap / 64)) * 64 + 60 + pick(8)) % cap));
        return make_ifx(code, static_cast<int>(pick(static_cast<unsigned>(cap))));
    }

    void one_step() {
        const unsigned a = pick(3), b = pick(3);
        if_index_vector_t &v = vecs_[a];
        Model &m = models_[a];
        const Ifx x = random_ifx();
        switch (pick(12)) {
        case 0: case 1: case 2: add(v, m, x); break;
        case 3: remove(v, m, x); break;
        case 4: present(v, m, x); break;
        case 5: algebra(a, b); break;
        case 6: equal(a, b); break;
        case 7: cursor_walk(v, m); break;
        case 8: typed_walk(v, m, x); break;
        case 9: incr_from(v, m, x); break;
        case 10:
            if (pick(8) == 0) { // make num_if disagree with the bits
                v.num_if = m.num_if = pick(4);
            } else {
                if_index_vector_copy(&vecs_[b], &v);
                models_[b] = m;
            }
            break;
        default: counts(v, m); break;
        }
    }

    void add(if_index_vector_t &v, Model &m, const Ifx &x) {
        std::uint32_t want = IF_INDEX_VECTOR_BAD_TYPE;
        if (x.code == IF_TYPE_SINGLE) {
            m.num_if += m.single == 0;
            m.single = x.value;
            want = IF_INDEX_VECTOR_OK;
        } else if (x.in_range()) {
            m.num_if += m.rows[static_cast<std::size_t>(x.row)].insert(x.pos).second;
            want = IF_INDEX_VECTOR_OK;
        }
        ASSERT_EQ(if_index_vector_add(&v, x.value), want) << where(x);
        ASSERT_EQ(v.num_if, m.num_if) << where(x);
    }

    void remove(if_index_vector_t &v, Model &m, const Ifx &x) {
        std::uint32_t want = IF_INDEX_VECTOR_OK;
        if (m.num_if == 0) {
        } else if (x.code == IF_TYPE_SINGLE) {
            m.num_if -= m.single != 0;
            m.single = 0;
        } else if (x.in_range()) {
            m.num_if -= static_cast<std::uint32_t>(m.rows[static_cast<std::size_t>(x.row)].erase(x.pos));
        } else {
            want = IF_INDEX_VECTOR_BAD_TYPE;
        }
        ASSERT_EQ(if_index_vector_remove(&v, x.value), want) << where(x);
        ASSERT_EQ(v.num_if, m.num_if) << where(x);
    }

    void present(const if_index_vector_t &v, const Model &m, const Ifx &x) {
        int want = 0;
        if (m.num_if != 0 && x.code == IF_TYPE_SINGLE)
            want = x.value == m.single;
        else if (m.num_if != 0 && x.in_range())
            want = m.rows[static_cast<std::size_t>(x.row)].count(x.pos) != 0;
        ASSERT_EQ(if_index_vector_is_present(&v, x.value), want) << where(x);
    }

    void counts(const if_index_vector_t &v, const Model &m) {
        for (std::uint32_t code : {1u, 4u, 6u, 10u, 11u, 15u, 20u}) {
            const int row = ifv::detail::bitmap_row(code);
            const std::uint32_t want = row >= 0 ? static_cast<std::uint32_t>(m.rows[static_cast<std::size_t>(row)].size())
                                       : code == IF_TYPE_SINGLE ? std::uint32_t{m.single != 0}
                                                                : 0;
            ASSERT_EQ(if_index_vector_num_if_type(&v, code), want) << "step " << step_ << " code " << code;
        }
        ASSERT_EQ(if_index_vector_num_if(&v), m.num_if);
    }

    void algebra(unsigned a, unsigned b) {
        Model &d = models_[a];
        const Model s = models_[b];
        std::uint32_t got = 0;
        const unsigned op = pick(3);
        for (std::size_t r = 0; r < 4; ++r) {
            std::set<int> out;
            for (int p : d.rows[r])
                if ((op == 1) == (s.rows[r].count(p) != 0) || (op == 0))
                    out.insert(p);
            if (op == 0)
                out.insert(s.rows[r].begin(), s.rows[r].end());
            d.rows[r] = out;
        }
        d.num_if = d.stored();
        if (op == 0)
            got = if_index_vector_union(&vecs_[a], &vecs_[b]);
        else if (op == 1)
            got = if_index_vector_intersection(&vecs_[a], &vecs_[b]);
        else
            got = if_index_vector_subtract(&vecs_[a], &vecs_[b]);
        ASSERT_EQ(got, d.num_if) << "step " << step_ << " op " << op;
        ASSERT_EQ(vecs_[a].num_if, d.num_if);
        check(a);
    }

    void equal(unsigned a, unsigned b) {
        const Model &x = models_[a], &y = models_[b];
        const int want = x.num_if == y.num_if && x.rows == y.rows && x.single == y.single;
        ASSERT_EQ(if_index_vector_is_equal(&vecs_[a], &vecs_[b]), want) << "step " << step_;
    }

    // The member after (row, pos) in canonical order, crossing bitmaps.
    static bool model_next_from(const Model &m, std::size_t row, int start, Ifx *out) {
        for (; row < 4; ++row, start = 0) {
            auto it = m.rows[row].lower_bound(start);
            if (it != m.rows[row].end()) {
                *out = make_ifx(kBitmapTypes[row].code, *it);
                return true;
            }
        }
        return false;
    }

    void cursor_walk(const if_index_vector_t &v, const Model &m) {
        std::uint32_t cursor = kSentinel, first = kSentinel;
        Ifx want{};
        std::uint32_t rc_want = IF_INDEX_VECTOR_EMPTY, value_want = kSentinel;
        if (m.num_if != 0 && model_next_from(m, 0, 0, &want)) {
            rc_want = IF_INDEX_VECTOR_OK;
            value_want = want.value;
        } else if (m.num_if != 0 && m.single != 0) {
            rc_want = IF_INDEX_VECTOR_OK;
            value_want = m.single;
        }
        ASSERT_EQ(if_index_vector_itr_begin(&v, &cursor), rc_want) << "step " << step_;
        ASSERT_EQ(if_index_vector_first(&v, &first), rc_want);
        ASSERT_EQ(cursor, value_want);
        ASSERT_EQ(first, value_want);
        if (rc_want != IF_INDEX_VECTOR_OK || value_want == m.single)
            return;
        for (Ifx at_now = want;;) {
            Ifx nx{};
            const bool more = model_next_from(m, static_cast<std::size_t>(at_now.row), at_now.pos + 1, &nx);
            const std::uint32_t rc = if_index_vector_itr_incr(&v, &cursor);
            if (!more) {
                ASSERT_EQ(rc, std::uint32_t{IF_INDEX_VECTOR_END});
                ASSERT_EQ(cursor, m.single != 0 ? m.single : at_now.value);
                return;
            }
            ASSERT_EQ(rc, std::uint32_t{IF_INDEX_VECTOR_OK});
            ASSERT_EQ(cursor, nx.value);
            at_now = nx;
        }
    }

    void typed_walk(const if_index_vector_t &v, const Model &m, const Ifx &x) {
        std::uint32_t out = kSentinel, out2 = kSentinel, got = kSentinel;
        std::uint32_t want = IF_INDEX_VECTOR_BAD_TYPE, value = kSentinel;
        if (x.code == IF_TYPE_SINGLE) {
            want = IF_INDEX_VECTOR_END;
        } else if (x.row >= 0) {
            const auto &s = m.rows[static_cast<std::size_t>(x.row)];
            auto it = s.upper_bound(x.pos);
            want = it == s.end() ? IF_INDEX_VECTOR_END : IF_INDEX_VECTOR_OK;
            if (it != s.end())
                value = make_ifx(x.code, *it).value;
        }
        ASSERT_EQ(if_index_vector_next(&v, x.value, &out), want) << where(x);
        ASSERT_EQ(out, value) << where(x);
        ASSERT_EQ(if_index_vector_get_next(&v, &x.value, &out2), want) << where(x);
        ASSERT_EQ(out2, value) << where(x);
        const bool gettable = x.row >= 0 || x.code == IF_TYPE_SINGLE || x.code == 10;
        ASSERT_EQ(if_index_vector_get(&v, &x.value, &got),
                  gettable ? std::uint32_t{IF_INDEX_VECTOR_OK} : std::uint32_t{IF_INDEX_VECTOR_BAD_TYPE});
        ASSERT_EQ(got, gettable ? x.value : kSentinel);
    }

    void incr_from(const if_index_vector_t &v, const Model &m, const Ifx &x) {
        std::uint32_t cursor = x.value;
        Ifx nx{};
        if (x.row < 0) {
            ASSERT_EQ(if_index_vector_itr_incr(&v, &cursor), std::uint32_t{IF_INDEX_VECTOR_END}) << where(x);
            ASSERT_EQ(cursor, x.value);
        } else if (model_next_from(m, static_cast<std::size_t>(x.row), x.pos + 1, &nx)) {
            ASSERT_EQ(if_index_vector_itr_incr(&v, &cursor), std::uint32_t{IF_INDEX_VECTOR_OK}) << where(x);
            ASSERT_EQ(cursor, nx.value) << where(x);
        } else {
            ASSERT_EQ(if_index_vector_itr_incr(&v, &cursor), std::uint32_t{IF_INDEX_VECTOR_END}) << where(x);
            ASSERT_EQ(cursor, m.single != 0 ? m.single : x.value) << where(x);
        }
    }

    void check(unsigned i) {
        const if_index_vector_t &v = vecs_[i];
        const Model &m = models_[i];
        ASSERT_EQ(v.num_if, m.num_if) << "step " << step_;
        ASSERT_EQ(v.single_if_index, m.single) << "step " << step_;
        for (std::size_t r = 0; r < 4; ++r) {
            const auto ps = positions(bits_of(v, kBitmapTypes[r]), kBitmapTypes[r].capacity);
            ASSERT_EQ(std::set<int>(ps.begin(), ps.end()), m.rows[r]) << "step " << step_ << " row " << r;
        }
    }

    void check_all() {
        for (unsigned i = 0; i < 3; ++i)
            check(i);
    }

    std::string where(const Ifx &x) const {
        return "step " + std::to_string(step_) + " code " + std::to_string(x.code) + " pos " +
               std::to_string(x.pos);
    }
};

TEST(Differential, MixedOperationsAgreeWithTheModel) {
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Driver(seed).run(5000);
        if (HasFatalFailure())
            return;
    }
}

} // namespace
