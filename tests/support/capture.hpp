// Standard output captured byte for byte, for tests and benchmarks.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>

namespace ifvec::test {

// Runs `fn` with file descriptor 1 on a temporary file and returns every
// byte written through stdio or fd 1 meanwhile.
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

} // namespace ifvec::test
