// Converts files with the core's CompressFile the way a batch does, on N threads that each
// take the next file (at most N files in flight). With --frame-by-frame it converts through
// the whole-picture reference path instead, to show what streaming saves; with --one-thread
// it runs the conversion's stages one after another on the file's own thread, as they ran
// before they became a pipeline.
//
//     velmora-bench-convert -c C -r R [-j N] [--frame-by-frame | --one-thread] -o DIR FILE...
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "cli/conversion_plan.h"
#include "cli/parallel_runner.h"
#include "core/compress_file.h"
#include "core/compress_reference.h"
#include "core/file_io.h"

int main(int argc, char** argv) {
    int compress = 25, resize = 100, jobs = 1;
    bool frameByFrame = false;
    bool oneThread = false;
    std::string outputDirectory;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frame-by-frame") {
            frameByFrame = true;
        } else if (arg == "--one-thread") {
            oneThread = true;
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
                     "usage: velmora-bench-convert -c C -r R [-j N] [--frame-by-frame | "
                     "--one-thread] -o DIR FILE...\n");
        return 2;
    }
    std::atomic<bool> failed{false};
    // The first failure ends the run: the files not yet started are skipped.
    const auto convert = [&](size_t i, velmora::cli::WorkTurn&) {
        if (failed) {
            return;
        }
        const std::string output = velmora::cli::OutputPathFor(outputDirectory, files[i]);
        try {
            if (frameByFrame) {
                const auto bytes = velmora::CompressBytesFrameByFrame(
                    velmora::ReadWholeFile(files[i]),
                    {velmora::CompressPercent(compress), velmora::ResizePercent(resize)});
                velmora::WriteFileReplacing(output, bytes.data(), bytes.size());
            } else if (oneThread) {
                const auto bytes = velmora::CompressBytes(
                    velmora::ReadWholeFile(files[i]),
                    {velmora::CompressPercent(compress), velmora::ResizePercent(resize)},
                    velmora::TMetadataKept::kOrientationAndProfile, velmora::TStageThreads::kOne);
                velmora::WriteConversion(files[i], output, bytes);
            } else {
                velmora::CompressFile(
                    files[i], output,
                    {velmora::CompressPercent(compress), velmora::ResizePercent(resize)});
            }
        } catch (const std::exception& error) {
            std::fprintf(stderr, "velmora-bench-convert: %s: %s\n", files[i].c_str(), error.what());
            failed = true;
        }
    };
    velmora::cli::RunInParallel(files.size(), static_cast<unsigned>(jobs), convert, [](size_t) {});
    return failed ? 1 : 0;
}
