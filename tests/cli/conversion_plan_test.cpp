#include "cli/conversion_plan.h"

#include <gtest/gtest.h>

namespace velmora::cli {
namespace {

TEST(ConversionPlanTest, OutputIsTheDirectoryAndTheFileName) {
    EXPECT_EQ(OutputPathFor("out", "a.jpg"), "out/a.jpg");
    EXPECT_EQ(OutputPathFor("out/", "dir/a.jpg"), "out/a.jpg");
    EXPECT_EQ(OutputPathFor("/", "a.jpg"), "/a.jpg");
    EXPECT_EQ(OutputPathFor("/tmp/输出", "/home/照片/一.JPG"), "/tmp/输出/一.JPG");
}

TEST(ConversionPlanTest, RefusesRepeatedOutputsAndMissingNames) {
    const std::vector<PlannedFile> plan =
        PlanConversions("out", {"x/a.jpg", "y/a.jpg", "b.jpg", "a.jpg", "dir/", "..", "A.jpg"});
    ASSERT_EQ(plan.size(), 7u);
    const char* const refusals[] = {
        "",
        "not converted, same output file as x/a.jpg",
        "",
        "not converted, same output file as x/a.jpg",
        "not converted, no file name",
        "not converted, no file name",
        "",
    };
    for (size_t i = 0; i < plan.size(); ++i) {
        EXPECT_EQ(plan[i].refusal, refusals[i]) << plan[i].source;
    }
    EXPECT_EQ(plan[0].output, "out/a.jpg");
    EXPECT_EQ(plan[6].output, "out/A.jpg");
}

}  // namespace
}  // namespace velmora::cli
