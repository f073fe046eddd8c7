// SPDX-License-Identifier: MIT
// The library's behaviour, a suite per family of the C interface (and its C++
// face): named cases, each a script of steps for the differential driver,
// which checks every status, output, count, text and record byte against the
// model; then seeded runs of mixed operations, also on several threads at
// once on their own vectors: under ThreadSanitizer (preset tsan) that also
// shows the library keeps no shared mutable state.  A new case goes in its
// family's table; a fault found once gets its own row, named for the fault.
#include <gtest/gtest.h>

#include <thread>

#include "driver.hpp"

namespace {

struct Case {
    const char *name, *steps;
};

void run_cases(std::initializer_list<Case> cases) {
    for (const Case &c : cases) {
        if_index_vec::test::Source unused(0);
        EXPECT_EQ(if_index_vec::test::Driver(unused).script(c.steps), "") << c.name;
    }
}

// init, copy, is_equal and the record they leave.
TEST(Record, NamedCases) {
    run_cases({{"init writes every byte count", "counts 0; print 0"},
               {"copy takes the single slot along", "add 0 single:0; add 0 fc:1; copy 0 1; walk 1"},
               {"copy onto itself", "add 0 tunnel:4095; copy 0 0"},
               {"is_equal tells sets apart by the single slot alone",
                "add 0 single:0; copy 0 1; remove 1 single:0; add 1 single:1; equal 0 1; +equal 1 0"},
               {"is_equal of equal sets built in another order", "add 0 pc:1-9; add 1 pc:9; add 1 pc:1-8; equal 0 1"}});
}

// add, remove and is_present, through C and C++.
TEST(Membership, NamedCases) {
    run_cases({{"add of a member already present counts it once",
                "add 0 fc:3; add 0 fc:3; add 0 single:0; add 0 single:0"},
               {"remove of an absent single-slot member keeps num_if", "add 0 fc:3; remove 0 single:0; remove 0 fc:4"},
               {"the capacity itself is refused, the last position taken",
                "add 0 fc:1024; add 0 pc:256; add 0 iscsi:1024; add 0 tunnel:4096; add 0 fc:1023; add 0 pc:255; "
                "add 0 iscsi:1023; add 0 tunnel:4095; present 0 tunnel:4095-4096"},
               {"a type without storage, 0 and the all-ones fields are refused",
                "add 0 type10:0; add 0 raw:0; add 0 pc:65535; add 0 tunnel:65535; present 0 type10:0"},
               {"remove from an empty vector succeeds", "remove 0 fc:1; remove 0 type10:0; remove 0 single:0"},
               {"C++ insert, erase and contains", "+add 0 iscsi:5-9; +remove 0 iscsi:7; +present 0 iscsi:6-8"}});
}

// first, next, get_next, itr_begin, itr_incr, get and the C++ iteration.
TEST(Walk, NamedCases) {
    run_cases({{"the scan reaches the last word", "add 0 tunnel:4095; walk 0; next 0 tunnel:4000-4095/95"},
               {"the cursor walk's end hands over the single slot", "add 0 fc:0; add 0 single:0; walk 0"},
               {"the C++ iteration yields the single-slot member last",
                "add 0 single:0; add 0 fc:2; add 0 tunnel:7; walk 0"},
               {"next gives the next member, not its argument", "add 0 pc:3-5; next 0 pc:3-5; next 0 pc:2"},
               {"get takes a cursor of type 10", "add 0 fc:1; next 0 type10:0; next 0 single:1"},
               {"next from an if_index beyond the capacity", "add 0 fc:5; add 0 pc:5; next 0 fc:1024; next 0 pc:65535"},
               {"itr_incr goes on with the next bitmap", "add 0 fc:1023; add 0 iscsi:0; next 0 fc:1023; walk 0"}});
}

// union, intersection and subtract, with their recount.
TEST(Algebra, NamedCases) {
    run_cases({{"subtract is not the symmetric difference", "add 0 fc:1-3; add 1 fc:3-5; subtract 0 1"},
               {"the recount keeps the single slot",
                "add 0 single:0; add 1 fc:1; union 0 1; intersection 0 1; subtract 0 1"},
               {"an operand may be the destination",
                "add 0 tunnel:0-4095/3; union 0 0; intersection 0 0; subtract 0 0"},
               {"C++ operators", "add 0 iscsi:1-80; add 1 iscsi:60-99; +union 0 1; +subtract 0 1; +intersection 1 0"}});
}

// num_if and num_if_type.
TEST(Count, NamedCases) {
    run_cases({{"full bitmaps count their capacity", "add 0 pc:0-255; add 0 tunnel:0-4095; counts 0"},
               {"every type counted alone", "add 0 fc:64; add 0 iscsi:1023; add 0 single:0; counts 0; +counts 0"}});
}

// printf (the name listing), printf_dec, printf_hex and the C++ text.
TEST(Print, NamedCases) {
    run_cases({{"an empty record prints nothing", "print 0"},
               {"names are separated by a comma and a blank", "add 0 fc:1-3; add 0 pc:9; print 0"},
               {"a run reaching the capacity ends there", "add 0 tunnel:4094-4095; add 0 fc:1020-1023; print 0"},
               {"group texts longer than the stack buffer come out in order",
                "add 0 fc:0-1023/2; add 0 pc:0-255/2; add 0 iscsi:1-1023/2; add 0 tunnel:0-4095/2; add 0 single:0; "
                "print 0; add 1 tunnel:1-4095/2; print 1; add 2 tunnel:0-4095/3; add 2 iscsi:0-1023/3; print 2"},
               {"runs of one and two positions", "add 0 fc:0-1023/3; add 0 fc:1-1023/3; print 0"}});
}

TEST(Differential, MixedOperationsAgreeWithTheModel) {
    for (std::uint64_t seed = 1; seed <= 8; ++seed) {
        if_index_vec::test::Source src(seed);
        EXPECT_EQ(if_index_vec::test::Driver(src).run(5000), "") << "seed " << seed;
    }
}

TEST(Differential, ThreadsOnTheirOwnVectorsAgreeWithTheModel) {
    std::string failures[4];
    if_index_vec::test::capture_stdout([&] { // the print functions' text goes nowhere
        std::vector<std::thread> threads;
        for (std::uint64_t i = 0; i < 4; ++i)
            threads.emplace_back([i, &failures] {
                if_index_vec::test::Source src(100 + i);
                failures[i] = if_index_vec::test::Driver(src, false).run(3000);
            });
        for (auto &t : threads)
            t.join();
    });
    for (const std::string &f : failures)
        EXPECT_EQ(f, "");
}

} // namespace
