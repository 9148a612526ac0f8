#include "core/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/errors.h"

namespace velmora {
namespace {

struct IntCase {
    const char* text;
    int32_t value;
};

TEST(StrToIntTest, AcceptsDecimalAndHexadecimalForms) {
    const IntCase cases[] = {
        {"0", 0},
        {"75", 75},
        {"0075", 75},
        {"+5", 5},
        {"-5", -5},
        {"   42", 42},
        {" -7", -7},
        {"$32", 50},
        {"$ff", 255},
        {"x1A", 26},
        {"X1a", 26},
        {"0x10", 16},
        {"0X10", 16},
        {"-$10", -16},
        {"+0x7fffffff", 2147483647},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-$80000000", -2147483647 - 1},
    };
    for (const IntCase& c : cases) {
        EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    }
}

TEST(StrToIntTest, RefusesEverythingElseWithTheValueInTheMessage) {
    const char* const cases[] = {
        "",          "   ",         "abc",
        "12abc",     "75 ",         "1.5",
        "+",         "-",           "$",
        "0x",        "x",           "$g",
        "--1",       "+-1",         "- 1",
        "\t5",       "2147483648",  "-2147483649",
        "$80000000", "0x100000000", "99999999999999999999",
    };
    for (const char* text : cases) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& error) {
            EXPECT_EQ(std::string(error.what()),
                      std::string("'") + text + "' is not a valid integer value");
        }
    }
}

TEST(IntToStrTest, WritesPlainDecimalDigits) {
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(100), "100");
    EXPECT_EQ(IntToStr(-5), "-5");
}

TEST(SettingsDirectoryTest, IsTheExecutablesDirectoryUnlessOverridden) {
    const std::string executableDirectory =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
    EXPECT_EQ(SettingsDirectory(), executableDirectory);
    EXPECT_EQ(SettingsFilePath(), executableDirectory + "Config.ini");

    OverrideSettingsDirectory("/tmp/elsewhere/");
    EXPECT_EQ(SettingsDirectory(), "/tmp/elsewhere/");
    EXPECT_EQ(SettingsFilePath(), "/tmp/elsewhere/Config.ini");

    OverrideSettingsDirectory("");
    EXPECT_EQ(SettingsDirectory(), executableDirectory);
}

}  // namespace
}  // namespace velmora
