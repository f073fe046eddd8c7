// SPDX-License-Identifier: MIT
// Registration of every benchmark (registration.cpp).
#pragma once

namespace bench {

// Registers each workload for each implementation on each of its data sets,
// named workload/implementation/density.
void register_benchmarks();

} // namespace bench
