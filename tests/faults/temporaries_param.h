// The two kinds of temporary file the crash-safe writer uses, for tests that run with both:
// unnamed ones (O_TMPFILE), and hidden named ones on file systems without unnamed files.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "write_faults.h"

namespace velmora::test {

enum class Temporaries { kUnnamed, kNamed };

inline void PrintTo(Temporaries kind, std::ostream* out) {
    *out << (kind == Temporaries::kUnnamed ? "unnamed" : "named");
}

// A test over both kinds; the named kind is forced by refusing unnamed files for the test.
class BothTemporariesTest : public ::testing::TestWithParam<Temporaries> {
  protected:
    void SetUp() override { RefuseUnnamedFiles(GetParam() == Temporaries::kNamed); }
    void TearDown() override { RefuseUnnamedFiles(false); }
    ScopedWriteFaults faults;
};

inline std::string TemporariesName(const ::testing::TestParamInfo<Temporaries>& info) {
    return info.param == Temporaries::kUnnamed ? "Unnamed" : "Named";
}

#define VELMORA_INSTANTIATE_FOR_BOTH_TEMPORARIES(suite)                                     \
    INSTANTIATE_TEST_SUITE_P(Temporaries, suite,                                            \
                             ::testing::Values(Temporaries::kUnnamed, Temporaries::kNamed), \
                             TemporariesName)

}  // namespace velmora::test
