// Converts files with the core's CompressFile the way a batch does, on N threads that each
// take the next file (at most N files in flight). With --frame-by-frame it converts through
// the whole-picture reference path instead, to show what streaming saves.
//
//     velmora-bench-convert -c C -r R [-j N] [--frame-by-frame] -o DIR FILE...
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "core/compress_file.h"
#include "core/compress_reference.h"
#include "core/file_io.h"

namespace {

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
    int compress = 25, resize = 100, jobs = 1;
    bool frameByFrame = false;
    std::string outputDirectory;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frame-by-frame") {
            frameByFrame = true;
        } else if (arg == "-o" && i + 1 < argc) {
            outputDirectory = argv[++i];
        } else if ((arg == "-c" || arg == "-r" || arg == "-j") && i + 1 < argc) {
            const int value = std::atoi(argv[++i]);
            (arg == "-c" ? compress : arg == "-r" ? resize : jobs) = value;
        } else {
            files.push_back(arg);
        }
    }
    if (outputDirectory.empty() || files.empty() || jobs < 1) {
        std::fprintf(stderr,
                     "usage: velmora-bench-convert -c C -r R [-j N] [--frame-by-frame] -o DIR "
                     "FILE...\n");
        return 2;
    }
    std::atomic<size_t> nextFile{0};
    std::atomic<bool> failed{false};
    auto worker = [&] {
        for (size_t i = nextFile++; i < files.size() && !failed; i = nextFile++) {
            const std::string output = outputDirectory + "/" + BaseName(files[i]);
            try {
                if (frameByFrame) {
                    const auto bytes = velmora::CompressBytesFrameByFrame(
                        velmora::ReadWholeFile(files[i]), compress, resize);
                    velmora::WriteFileReplacing(output, bytes.data(), bytes.size());
                } else {
                    velmora::CompressFile(files[i], output, compress, resize);
                }
            } catch (const std::exception& error) {
                std::fprintf(stderr, "velmora-bench-convert: %s: %s\n", files[i].c_str(),
                             error.what());
                failed = true;
            }
        }
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < jobs; ++t) {
        threads.emplace_back(worker);
    }
    worker();
    for (std::thread& thread : threads) {
        thread.join();
    }
    return failed ? 1 : 0;
}
