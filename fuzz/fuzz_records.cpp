// SPDX-License-Identifier: MIT
// Fuzz target of ifvec's record image reader: data[0] picks byte order and offset; a clean record writes
// back as its bytes, and the byte-swapped images read the same in the other order.
#include "harness.hpp"
#include "ifvec/common.hpp"
#include "ifvec/records.hpp"

#include <cstddef>
#include <cstring>
#include <vector>

using namespace if_index_vec::cli;
using if_index_vec::fuzz::require;
#define AT(field) offsetof(if_index_vector_t, field)
constexpr std::size_t image = sizeof(if_index_vector_t),
                      words[] = {AT(num_if),          AT(phy_fc.num_bytes),    AT(port_channel.num_bytes),
                                 AT(iscsi.num_bytes), AT(fc_tunnel.num_bytes), AT(single_if_index)};

// The records, and what is wrong with a partial one, or "refused" for no record at all.
static std::pair<std::vector<record_image>, std::string> read(std::string_view bytes, std::size_t offset,
                                                              byte_order order) {
    std::vector<record_image> records;
    try {
        const if_index_vec::fuzz::file in(fmemopen(const_cast<char *>(bytes.data()), bytes.size(), "r"),
                                          std::fclose);
        std::string partial =
            read_records(in.get(), "input", order, {offset}, [&](auto &r) { records.push_back(r); });
        return {records, partial};
    } catch (const failure &) {
        return {{}, "refused"};
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::size_t offset = data[0] / 2U, after = bytes.size() - std::min(offset, bytes.size());
    const byte_order order = data[0] & 1 ? byte_order::big : byte_order::little;
    const auto [records, partial] = read(bytes, offset, order);
    require(records.size() == after / image && (partial == "refused") == (after == 0) &&
                partial.empty() == (after != 0 && after % image == 0),
            "a partial image only after the whole ones");
    std::string swapped(bytes), out(image + 1, '\0'); // and the NUL that fmemopen adds
    for (const record_image &r : records) {
        for (const std::size_t w : words)
            std::reverse(swapped.data() + r.offset + w, swapped.data() + r.offset + w + 4);
        const if_index_vec::fuzz::file f(fmemopen(out.data(), out.size(), "w"), std::fclose);
        require(!r.problems.empty() || (write_record(f.get(), r.rec, order) && std::fflush(f.get()) == 0 &&
                                        out.substr(0, image) == bytes.substr(r.offset, image)),
                "a record without problems writes back as its bytes");
    }
    const auto [again, partial_again] =
        read(swapped, offset, data[0] & 1 ? byte_order::little : byte_order::big);
    const auto alike = [](const std::string &a, const std::string &b) { // but for the order a hint names
        return a.substr(0, a.find("--byte-order=")) == b.substr(0, b.find("--byte-order="));
    };
    require(again.size() == records.size() && partial_again == partial, "the same records swapped");
    for (std::size_t n = 0; n < records.size(); ++n)
        require(std::memcmp(&again[n].rec, &records[n].rec, image) == 0 &&
                    std::ranges::equal(again[n].problems, records[n].problems, alike),
                "the same record and problems swapped");
    return 0;
}
