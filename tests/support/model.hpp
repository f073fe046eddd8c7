// SPDX-License-Identifier: MIT
// Test support: a plain model of a vector (position sets, counts, single slot, num_if), its image, dumps.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <set>
#include <string>

#include "layout.hpp"

namespace if_index_vec::test {

struct Model {
    std::array<std::set<int>, 4> rows;
    std::array<std::uint32_t, 4> counts{128, 32, 128, 512};
    std::uint32_t single = 0, num_if = 0;

    std::uint32_t stored() const {
        return (single != 0) +
               static_cast<std::uint32_t>(rows[0].size() + rows[1].size() + rows[2].size() + rows[3].size());
    }
    // The record this model stands for, byte for byte.
    std::array<std::uint8_t, kRecordSize> image() const {
        std::array<std::uint8_t, kRecordSize> b{};
        std::memcpy(&b[0], &num_if, 4);
        std::memcpy(&b[kSingleOffset], &single, 4);
        for (std::size_t r = 0; r < 4; ++r) {
            std::memcpy(&b[kRows[r].offset], &counts[r], 4);
            for (int p : rows[r])
                b[kRows[r].offset + 4 + static_cast<std::size_t>(p / 8)] |=
                    static_cast<std::uint8_t>(0x80 >> p % 8);
        }
        return b;
    }
    std::string listing() const {
        std::string out;
        for (std::size_t r = 0; r < 4 && num_if != 0; ++r) {
            for (int p : rows[r])
                out += (p == *rows[r].begin() ? "" : ", ") + name_of(at(kRows[r].code, p));
            out += rows[r].empty() ? "" : "\n";
        }
        return num_if != 0 && single != 0 ? out + name_of(single) + '\n' : out;
    }
    // The positions of row r as the decimal dump shows them: "0-2,5,7-8".
    std::string ranges(std::size_t r) const {
        std::string out;
        for (auto i = rows[r].begin(); i != rows[r].end(); ++i) {
            auto j = i;
            while (std::next(j) != rows[r].end() && *std::next(j) == *j + 1)
                ++j;
            out += (i == rows[r].begin() ? "" : ",") + std::to_string(*i) +
                   (j != i ? "-" + std::to_string(*j) : "");
            i = j;
        }
        return out;
    }
    // The decimal dump, or the hex dump.
    std::string dump(bool hex) const {
        std::string out = "No. of interfaces: " + std::to_string(static_cast<std::int32_t>(num_if)) + "\n";
        const auto b = image();
        for (std::size_t r = 0; r < 4; ++r) {
            out += kRows[r].header + (hex ? "" : ranges(r));
            for (std::size_t i = 0; hex && i < static_cast<std::size_t>(kRows[r].capacity / 8); ++i)
                for (int shift : {4, 0})
                    out += "0123456789abcdef"[b[kRows[r].offset + 4 + i] >> shift & 15];
            out += "\n";
        }
        return num_if != 0 ? out : "";
    }
};

} // namespace if_index_vec::test
