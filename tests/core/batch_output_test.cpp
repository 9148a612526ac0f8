#include "core/batch_output.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/ini_file.h"
#include "core/settings.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

// Each stored OutPath as the batch would take it: refused, or the path of a.jpg in it.
TEST(BatchOutput, StoredOutPathIsRefusedOrJoinedWithTheFileName) {
    struct Case {
        const char* name;
        std::optional<std::string> stored;      // no key at all when empty
        std::optional<std::string> outputPath;  // nothing: refused
    };
    const std::string longName(3000, 'a');
    const std::string longestWhole = "/" + std::string(2046, 'b');
    const Case cases[] = {
        {"missing", std::nullopt, std::nullopt},
        {"empty", "", std::nullopt},
        {"relative", "out/", std::nullopt},
        {"dot relative", "./", std::nullopt},
        {"cut at 2047 bytes", "/" + longName + "/", std::nullopt},
        {"2047 bytes, whole", longestWhole, longestWhole + "/a.jpg"},
        {"no trailing slash", "/srv/out", "/srv/out/a.jpg"},
        {"fine", "/srv/out/", "/srv/out/a.jpg"},
        {"root", "/", "/a.jpg"},
        {"GBK name", "/srv/\xD5\xD5\xC6\xAC/", "/srv/\xD5\xD5\xC6\xAC/a.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string settingsFile = dir.File(kSettingsFileName);
        TIniFile settings(settingsFile);
        settings.WriteSetting(kSettingsSection, kCompressPreKey, "75");
        if (c.stored) {
            settings.WriteSetting(kSettingsSection, kOutPathKey, *c.stored);
        }
        const TOutputDirectory directory = ReadOutputDirectory(settingsFile);
        const std::optional<std::string> problem = OutputDirectoryProblem(directory);
        EXPECT_EQ(problem.has_value(), !c.outputPath.has_value()) << problem.value_or("");
        if (problem) {
            EXPECT_FALSE(problem->empty());
        } else {
            EXPECT_EQ(OutputPathIn(directory.path, "a.jpg"), *c.outputPath);
        }
    }
}

}  // namespace
}  // namespace velmora
