#include "core/progress_percent.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace velmora {
namespace {

std::vector<int> FirstReports(int32_t selected, int32_t count) {
    std::vector<int> reports;
    for (int32_t done = 1; done <= count; ++done) {
        reports.push_back(ProgressPercent(done, selected));
    }
    return reports;
}

TEST(ProgressPercent, ReportsAfterEachFile) {
    struct Case {
        int32_t selected;
        std::vector<int> reports;  // the first reports of a batch of that size
    };
    const Case cases[] = {
        {1, {100}},
        {2, {50, 100}},
        {3, {33, 67, 100}},
        {6, {17, 33, 50, 67, 83, 100}},
        {7, {14, 29, 43, 57, 71, 86, 100}},
        {8, {12, 25, 37, 50, 62, 75, 87, 100}},
        {40, {3, 5, 7, 10, 12, 15, 17, 20, 23, 25}},
        {200, {0, 1, 1, 2, 3, 3, 4, 4, 4, 5}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FirstReports(c.selected, static_cast<int32_t>(c.reports.size())), c.reports)
            << c.selected << " selected";
    }
}

// Exact halves go either way: the quotient is rounded to a double before it is divided by
// the double nearest 0.01, which is slightly above 0.01.
TEST(ProgressPercent, ExactHalvesFollowTheDoubleRounding) {
    struct Case {
        int32_t done;
        int32_t selected;
        int percent;
    };
    const Case cases[] = {
        {1, 8, 12},  {3, 8, 37},  {5, 8, 62},  {7, 8, 87},     {1, 40, 3},
        {9, 40, 23}, {1, 200, 0}, {5, 200, 3}, {199, 200, 99},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgressPercent(c.done, c.selected), c.percent) << c.done << " of " << c.selected;
    }
}

TEST(ProgressPercent, LastFileOfAnyBatchIsHundred) {
    for (int32_t selected : {49, 99, 1000, 65537, INT32_MAX}) {
        EXPECT_EQ(ProgressPercent(selected, selected), 100) << selected;
    }
    EXPECT_EQ(ProgressPercent(INT32_MAX - 1, INT32_MAX), 100);
}

}  // namespace
}  // namespace velmora
