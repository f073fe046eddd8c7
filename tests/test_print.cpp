// Name listing, decimal range dump, hex dump and placeholders, compared byte
// for byte with whole expected texts.
#include "support.hpp"

#include <cstring>
#include <random>

namespace {

using namespace ifvec::test;

std::string listing(const if_index_vector_t &v) {
    return capture_stdout([&] { if_index_vector_printf(&v); });
}
std::string dec(const if_index_vector_t &v) {
    return capture_stdout([&] { if_index_vector_printf_dec(&v); });
}
std::string hex(const if_index_vector_t &v) {
    return capture_stdout([&] { if_index_vector_printf_hex(&v); });
}

if_index_vector_t fresh() {
    if_index_vector_t v;
    if_index_vector_init(&v);
    return v;
}

TEST(Print, SmallVectorGivesTheseExactTexts) {
    if_index_vector_t v = fresh();
    for (int p : {0, 1, 2, 5, 7, 8})
        ASSERT_EQ(if_index_vector_add(&v, at(IF_TYPE_PHY_FC, p)), 0u);
    ASSERT_EQ(if_index_vector_add(&v, at(IF_TYPE_PORT_CHANNEL, 0)), 0u);
    ASSERT_EQ(if_index_vector_add(&v, at(IF_TYPE_PORT_CHANNEL, 2)), 0u);
    ASSERT_EQ(if_index_vector_add(&v, at(IF_TYPE_FC_TUNNEL, 4095)), 0u);
    ASSERT_EQ(if_index_vector_add(&v, at(IF_TYPE_SINGLE, 1)), 0u);
    EXPECT_EQ(listing(v),
              "fc1/1, fc1/2, fc1/3, fc1/6, fc1/8, fc1/9\n"
              "port-channel0, port-channel2\n"
              "fc-tunnel4095\n"
              "mgmt1\n");
    EXPECT_EQ(dec(v),
              "No. of interfaces: 10\n"
              "PHY_FC interfaces: 0-2,5,7-8\n"
              "PORT_CHANNEL interfaces: 0,2\n"
              "ISCSI interfaces: \n"
              "FC-TUNNEL interfaces: 4095\n");
    EXPECT_EQ(hex(v),
              "No. of interfaces: 10\n"
              "PHY_FC interfaces: e580" + std::string(252, '0') + "\n"
              "PORT_CHANNEL interfaces: a0" + std::string(62, '0') + "\n"
              "ISCSI interfaces: " + std::string(256, '0') + "\n"
              "FC-TUNNEL interfaces: " + std::string(1022, '0') + "01\n");
}

// Records whose num_if or single slot make the outputs short.
TEST(Print, CountAndSingleSlotDecideWhatIsPrinted) {
    if_index_vector_t zero_count = fresh();
    ASSERT_EQ(if_index_vector_add(&zero_count, at(IF_TYPE_ISCSI, 1)), 0u);
    zero_count.num_if = 0;
    EXPECT_EQ(listing(zero_count), "");
    EXPECT_EQ(dec(zero_count), "");
    EXPECT_EQ(hex(zero_count), "");

    if_index_vector_t single = fresh();
    ASSERT_EQ(if_index_vector_add(&single, at(IF_TYPE_SINGLE, 12)), 0u);
    EXPECT_EQ(listing(single), "mgmt12\n");
    EXPECT_EQ(dec(single), "No. of interfaces: 1\nPHY_FC interfaces: \nPORT_CHANNEL interfaces: \n"
                           "ISCSI interfaces: \nFC-TUNNEL interfaces: \n");
    EXPECT_EQ(hex(single), Model::of(single).hex());

    if_index_vector_t count_only = fresh();
    count_only.num_if = 0xFFFFFFFF; // printed as a signed count
    EXPECT_EQ(listing(count_only), "");
    EXPECT_EQ(dec(count_only).substr(0, 23), "No. of interfaces: -1\nP");
}

TEST(Print, RangeTextShapes) {
    struct Case { std::vector<int> ps; const char *text; } cases[] = {
        {{}, ""},
        {{3, 4}, "3-4"},
        {{1023}, "1023"},
        {{5, 7, 8}, "5,7-8"},
        {{0, 2, 3}, "0,2-3"},
        {{0, 1, 2, 5, 7, 8}, "0-2,5,7-8"},
        {{63, 64}, "63-64"},
        {{62, 64, 127, 128, 1022, 1023}, "62,64,127-128,1022-1023"},
    };
    for (const auto &c : cases) {
        if_index_vector_t v = fresh();
        for (int p : c.ps)
            ASSERT_EQ(if_index_vector_add(&v, at(IF_TYPE_ISCSI, p)), 0u);
        v.num_if = 1;
        EXPECT_EQ(dec(v), "No. of interfaces: 1\nPHY_FC interfaces: \nPORT_CHANNEL interfaces: \n"
                          "ISCSI interfaces: " + std::string(c.text) + "\nFC-TUNNEL interfaces: \n")
            << c.text;
    }
    if_index_vector_t full = fresh();
    std::memset(full.port_channel.bits, 0xFF, sizeof full.port_channel.bits);
    std::memset(full.fc_tunnel.bits, 0xFF, sizeof full.fc_tunnel.bits);
    full.num_if = 256 + 4096;
    EXPECT_EQ(dec(full), "No. of interfaces: 4352\nPHY_FC interfaces: \nPORT_CHANNEL interfaces: 0-255\n"
                         "ISCSI interfaces: \nFC-TUNNEL interfaces: 0-4095\n");
}

// The longest texts: alternating bits, and pairs of set bits with one clear
// between them, which is longer still.  The buffers are allocated to their
// exact size, so an overrun shows under the address sanitizer.
TEST(Print, LongestRangeTextsFitTheirBuffers) {
    // Set position p when pattern(p): 0,2,4,...  1,3,5,...  and 0-1,3-4,6-7,...
    const auto even = [](int p) { return p % 2 == 0; };
    const auto odd = [](int p) { return p % 2 == 1; };
    const auto pairs = [](int p) { return p % 3 != 2; };
    for (bool (*pattern)(int) : {+even, +odd, +pairs}) {
        if_index_vector_t v = fresh();
        for (const auto &t : kBitmapTypes) {
            std::uint8_t *b = bits_of(v, t);
            for (int p = 0; p < t.capacity; ++p)
                if (pattern(p))
                    b[p / 8] |= static_cast<std::uint8_t>(0x80 >> (p % 8));
        }
        v.num_if = slow_recount(v);
        const std::string out = dec(v);
        EXPECT_EQ(out, Model::of(v).dec());
        std::size_t start = out.find('\n') + 1;
        for (const auto &t : kBitmapTypes) {
            const std::size_t end = out.find('\n', start);
            EXPECT_LT(end - start - t.dump_header.size(), t.text_buffer) << t.dump_header;
            start = end + 1;
        }
    }
}

TEST(Print, RandomVectorsMatchAPlainReadingOfTheRecord) {
    std::mt19937 rng(2024);
    const double densities[] = {0.0, 0.001, 0.01, 0.05, 0.5, 0.95, 1.0};
    for (int round = 0; round < 300; ++round) {
        const double density = densities[static_cast<std::size_t>(round) % std::size(densities)];
        std::bernoulli_distribution coin(density);
        if_index_vector_t v = fresh();
        for (const auto &t : kBitmapTypes)
            for (int p = 0; p < t.capacity; ++p)
                if (coin(rng)) {
                    ASSERT_EQ(if_index_vector_add(&v, at(t.code, p)), 0u);
                }
        if (rng() % 2) {
            ASSERT_EQ(if_index_vector_add(&v, at(IF_TYPE_SINGLE, static_cast<int>(rng() % 100 + 1))), 0u);
        }
        if (v.num_if == 0)
            v.num_if = 1; // outputs of records that only look empty
        ASSERT_EQ(listing(v), Model::of(v).listing()) << "round " << round;
        ASSERT_EQ(dec(v), Model::of(v).dec()) << "round " << round;
        ASSERT_EQ(hex(v), Model::of(v).hex()) << "round " << round;
    }
}

TEST(Print, OutputInterleavesWithTheCallersStdio) {
    if_index_vector_t v = fresh();
    ASSERT_EQ(if_index_vector_add(&v, at(IF_TYPE_PORT_CHANNEL, 9)), 0u);
    const std::string out = capture_stdout([&] {
        std::printf("before|");
        if_index_vector_printf(&v);
        std::fputs("middle|", stdout);
        if_index_vector_printf_dec(&v);
        std::printf("after");
    });
    EXPECT_EQ(out, "before|port-channel9\nmiddle|No. of interfaces: 1\nPHY_FC interfaces: \n"
                   "PORT_CHANNEL interfaces: 9\nISCSI interfaces: \nFC-TUNNEL interfaces: \nafter");
}

TEST(Print, PlaceholdersTouchNothingAndReturnZero) {
    if_index_vector_t v = fresh();
    ASSERT_EQ(if_index_vector_add(&v, at(IF_TYPE_PHY_FC, 1)), 0u);
    const if_index_vector_t before = v;
    std::uint32_t arr[4] = {1, 2, 3, 4};
    char text[8] = "xyz";
    const std::string out = capture_stdout([&] {
        EXPECT_EQ(if_index_vector_to_array(&v, arr, 4), 0);
        EXPECT_EQ(if_index_vector_from_array(&v, arr, 4), 0);
        EXPECT_EQ(if_index_vector_sprintf(text, &v), 0);
        EXPECT_EQ(if_index_vector_sprintf(), 0);
    });
    EXPECT_EQ(out, "");
    EXPECT_EQ(std::memcmp(&v, &before, sizeof v), 0);
    EXPECT_EQ(arr[0] + arr[3], 5u);
    EXPECT_STREQ(text, "xyz");
}

} // namespace
