// SPDX-License-Identifier: MIT
// if_index_codec_check: one section of its report, "ok" or "FAIL" with the
// first few problems found.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace if_index_vec::codec_check {

class report_section {
public:
    static constexpr std::size_t details_shown = 5;

    explicit report_section(const char *title) : title_(title) {}
    void problem(const std::string &what) {
        if (problems_++ < details_shown)
            details_.push_back(what);
    }
    void note(std::string n) { note_ = std::move(n); }
    void skip() { skipped_ = true; }
    [[nodiscard]] bool ok() const { return problems_ == 0 && !skipped_; }
    bool report() const { // NOLINT(modernize-use-nodiscard): prints; the result is also wanted
        if (skipped_) {
            std::printf("%-22s not run\n", title_);
            return false;
        }
        std::printf("%-22s %s%s%s\n", title_, problems_ == 0 ? "ok" : "FAIL", note_.empty() ? "" : "  ",
                    note_.c_str());
        for (const std::string &d : details_)
            std::printf("    %s\n", d.c_str());
        if (problems_ > details_shown)
            std::printf("    ... and %zu more\n", problems_ - details_shown);
        return problems_ == 0;
    }

private:
    const char *title_;
    std::size_t problems_ = 0;
    std::vector<std::string> details_;
    std::string note_;
    bool skipped_ = false;
};

} // namespace if_index_vec::codec_check
