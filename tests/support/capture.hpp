// SPDX-License-Identifier: MIT
// Test support: every byte a piece of code writes to standard output.
#pragma once

#include <cstdio>
#include <string>

#include <unistd.h>

namespace if_index_vec::test {

// Runs `fn` with fd 1 on a temporary file; returns what it wrote there.
template <class Fn>
std::string capture_stdout(Fn &&fn) {
    std::fflush(stdout);
    std::FILE *tmp = std::tmpfile();
    const int saved = dup(1);
    dup2(fileno(tmp), 1);
    fn();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    std::string out(static_cast<std::size_t>(std::ftell(tmp)), '\0');
    std::rewind(tmp);
    out.resize(std::fread(out.data(), 1, out.size(), tmp));
    std::fclose(tmp);
    return out;
}

} // namespace if_index_vec::test
