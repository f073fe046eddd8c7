// A C++20 program of an outside project, built against the installed
// packages through find_package(if_index_vec) (CMakeLists.txt beside it) by
// the consumer test and by .ci/check-debs: inserts, a union, a difference.
// consumer.cpp.expected holds what it prints.
#include <if_index_vec/if_index_vector.hpp>
#include <iostream>

int main() {
    if_index_vec::index_vector a, b;
    std::uint32_t ifx = 0;
    if_index_iscsi_port_init(&ifx, 1, 5);
    if (a.insert(ifx) != if_index_vec::status::ok || b.insert(ifx) != if_index_vec::status::ok)
        return 1;
    if_index_fcmpls_tnnl_init(&ifx, 4095);
    if (b.insert(ifx) != if_index_vec::status::ok)
        return 1;
    std::cout << a.to_string() << (a | b).to_string() << (b - a).size() << '\n';
}
