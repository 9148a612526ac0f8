// Writes the fuzzers' seed corpus: small valid JPEG files of every kind the converter accepts
// (and a few it refuses), made with libjpeg.
//   make_corpus DIR [REGRESSIONS]  →  DIR/decode/*.jpg and DIR/compress_file/* (the same
//   files, each behind a few leading bytes that pick the conversion's percents), and
//   DIR/settings/* (settings files, some followed by a NUL and a value to write). The kept
//   regression inputs in REGRESSIONS (*.jpg and *.ini) join the generated ones.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/picture_corpus.h"
#include "support/temp_dir.h"

namespace {

using Seed = velmora::test::NamedJpeg;  // also for the settings files

std::vector<Seed> MakeSettingsSeeds() {
    using namespace std::string_literals;
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"default",
         "[Velmora]\r\nOutPath=/home/user/velmora/\r\nCompressPre=75\r\nResizePre=100\r\n"},
        // "D:\照片\" in GB18030, a hexadecimal and an out-of-range percent.
        {"gb18030",
         "[Velmora]\r\nOutPath=D:\\\xD5\xD5\xC6\xAC\\\r\nCompressPre=$32\r\nResizePre=150\r\n"},
        {"layout",
         "; comment\n[Other]\nOutPath=elsewhere\n[velmora]\n  compresspre = \" 30 \" \n"
         "ResizePre=\n[Velmora]\nResizePre=5\n\xC6\xE4\xCB\xFB=1\n[\xC6\xE4\xCB\xFB]\n\xBC\xFC='v'"
         "\n"},
        {"bom-no-section",
         "\xEF\xBB\xBF"
         "CompressPre=1\r\n[Velmora]\rCompressPre=-0x10\r"},
        {"write-utf8", "[Velmora]\r\nCompressPre=75\r\n\0/新目录/ with  blanks "s},
        {"write-quotes", "[Velmora]\r\nOutPath=\"x\"\r\n\0\"quoted\""s},
        {"write-empty", "\0"s},
        {"long-value", "[Velmora]\r\nOutPath=" + std::string(3000, 'x') + "\r\nResizePre=7\r\n"},
    };
    std::vector<Seed> seeds;
    for (const auto& [name, text] : texts) {
        seeds.push_back({name, std::vector<uint8_t>(text.begin(), text.end())});
    }
    return seeds;
}

// The files in the directory whose names end in the extension, sorted so that every run
// writes the same corpus; the seed's name is the file's without the extension.
std::vector<Seed> ReadSeeds(const std::filesystem::path& directory, const std::string& extension) {
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        if (entry.path().extension() == extension) {
            paths.push_back(entry.path());
        }
    }
    std::sort(paths.begin(), paths.end());
    std::vector<Seed> seeds;
    for (const auto& path : paths) {
        seeds.push_back({path.stem().string(), velmora::test::ReadBytes(path.string())});
    }
    return seeds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s DIR [REGRESSIONS]\n", argv[0]);
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path top = argv[1];
    std::vector<Seed> pictures = velmora::test::CorpusPictures();
    std::vector<Seed> settings = MakeSettingsSeeds();
    if (argc == 3) {
        for (Seed& seed : ReadSeeds(argv[2], ".jpg")) {
            pictures.push_back(std::move(seed));
        }
        for (Seed& seed : ReadSeeds(argv[2], ".ini")) {
            settings.push_back(std::move(seed));
        }
    }
    fs::create_directories(top / "decode");
    fs::create_directories(top / "compress_file");
    fs::create_directories(top / "settings");
    // Leading bytes for the conversion target: several percent pairs, once into a separate
    // output and once replacing the source.
    const std::vector<uint8_t> prefixes = {0x00, 0x03, 0x05, 0x07, 0x0A, 0x0C};
    for (const Seed& seed : pictures) {
        velmora::test::WriteBytes((top / "decode" / (seed.name + ".jpg")).string(), seed.bytes);
        for (uint8_t prefix : prefixes) {
            std::vector<uint8_t> bytes = {prefix};
            bytes.insert(bytes.end(), seed.bytes.begin(), seed.bytes.end());
            const std::string name = seed.name + "-" + std::to_string(prefix);
            velmora::test::WriteBytes((top / "compress_file" / name).string(), bytes);
        }
    }
    for (const Seed& seed : settings) {
        velmora::test::WriteBytes((top / "settings" / (seed.name + ".ini")).string(), seed.bytes);
    }
    return 0;
}
