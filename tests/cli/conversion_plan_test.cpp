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
    std::vector<PlannedFile> plan = {
        {.source = "x/a.jpg", .outputName = "a.jpg"},
        {.source = "y/a.jpg", .outputName = "a.jpg"},
        {.source = "tree/sub/a.jpg", .outputName = "sub/a.jpg"},
        {.source = "other/sub/a.jpg", .outputName = "sub/a.jpg"},
        {.source = "-", .fromStandardInput = true, .outputName = "stdin.jpg"},
        {.source = "photos/stdin.jpg", .outputName = "stdin.jpg"},
        {.source = "dir/", .outputName = ""},
        {.source = "..", .outputName = ".."},
        {.source = "A.jpg", .outputName = "A.jpg"},
        {.source = "walked", .refusal = "cannot list the folder: Permission denied"},
    };
    PlanConversions("out/", plan);
    const struct {
        const char* output;
        const char* refusal;
    } expected[] = {
        {"out/a.jpg", ""},
        {"out/a.jpg", "not converted, same output file as x/a.jpg"},
        {"out/sub/a.jpg", ""},
        {"out/sub/a.jpg", "not converted, same output file as tree/sub/a.jpg"},
        {"out/stdin.jpg", ""},
        {"out/stdin.jpg", "not converted, same output file as -"},
        {"", "not converted, no file name"},
        {"", "not converted, no file name"},
        {"out/A.jpg", ""},
        {"", "cannot list the folder: Permission denied"},
    };
    ASSERT_EQ(plan.size(), std::size(expected));
    for (size_t i = 0; i < plan.size(); ++i) {
        EXPECT_EQ(plan[i].output, expected[i].output) << plan[i].source;
        EXPECT_EQ(plan[i].refusal, expected[i].refusal) << plan[i].source;
        EXPECT_FALSE(plan[i].toStandardOutput);
    }
}

TEST(ConversionPlanTest, StandardOutputTakesEveryNamedFile) {
    std::vector<PlannedFile> plan = {{.source = "a.jpg", .outputName = "a.jpg"},
                                     {.source = "dir/", .outputName = ""}};
    PlanConversions("-", plan);
    EXPECT_TRUE(plan[0].toStandardOutput);
    EXPECT_EQ(plan[0].output, "");
    EXPECT_EQ(plan[0].refusal, "");
    EXPECT_EQ(plan[1].refusal, "not converted, no file name");
}

TEST(ConversionPlanTest, RefusalsNameTheEarlierFileSafely) {
    std::vector<PlannedFile> plan = {{.source = "x/a\x1b[2J", .outputName = "a"},
                                     {.source = "y/a", .outputName = "a"}};
    PlanConversions("out", plan);
    EXPECT_EQ(plan[1].refusal, "not converted, same output file as 'x/a'$'\\033''[2J'");
}

}  // namespace
}  // namespace velmora::cli
