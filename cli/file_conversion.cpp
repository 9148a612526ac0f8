#include "file_conversion.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>

#include "cli/size_search.h"
#include "core/compress_file.h"
#include "core/errors.h"
#include "core/file_descriptor.h"
#include "core/file_io.h"
#include "core/jpeg_file.h"

namespace velmora::cli {

namespace {

constexpr const char* kStandardInputPath = "/dev/stdin";

// Anything at the path, a dangling symlink included, is an existing output.
bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::optional<struct stat> SourceTimes(const PlannedFile& file, const ConvertOptions& options) {
    if (!options.keepDates || file.fromStandardInput) {
        return std::nullopt;
    }
    struct stat info {};
    if (::stat(file.source.c_str(), &info) != 0) {
        // Reading the source fails the same way, with the core's message.
        return std::nullopt;
    }
    return info;
}

// Standard input, like a pipe given as FILE (/dev/stdin, a shell's <(…)), is read to its end.
std::string SourcePath(const PlannedFile& file) {
    return file.fromStandardInput ? kStandardInputPath : file.source;
}

// The conversion, searched for with --max-size. Unless the source is needed afterwards, the
// core takes it over, which frees its bytes as soon as they are decoded.
FittedConversion Convert(std::vector<uint8_t>& source, bool sourceNeededAfter,
                         const ConvertOptions& options, const FileTurn& turn) {
    const int percent = options.compressPercent;
    if (options.maxBytes) {
        // Without -c every quality may be tried; with it, none above 100 - c.
        return ConvertToFit(source, *options.maxBytes, options.compressGiven ? percent : 0,
                            ResizePercent(options.resizePercent), options.metadata);
    }
    const ConversionPercents percents{CompressPercent(percent),
                                      ResizePercent(options.resizePercent)};
    if (sourceNeededAfter) {
        return {percent,
                CompressBytes(source, percents, options.metadata, turn.threads, turn.coreFreed)};
    }
    return {percent, CompressBytes(std::move(source), percents, options.metadata, turn.threads,
                                   turn.coreFreed)};
}

// The folders of an output name with a path (-R), made when missing.
void MakeParentFolders(const std::string& output) {
    const std::filesystem::path parent = std::filesystem::path(output).parent_path();
    std::error_code error;
    if (!parent.empty() && !std::filesystem::create_directories(parent, error) && error) {
        throw Exception("Cannot create folder \"" + ExpandFileName(parent.native()) + "\". " +
                        OsErrorText(error.value()));
    }
}

void CopyTimes(const struct stat& source, const std::string& output) {
    const timespec times[2] = {source.st_atim, source.st_mtim};
    if (::utimensat(AT_FDCWD, output.c_str(), times, 0) != 0) {
        throw Exception("converted, but its dates could not be kept: " + OsErrorText(errno));
    }
}

FileResult Skipped(const PlannedFile& file) {
    return {.outcome = FileOutcome::kSkipped, .message = "exists: " + file.output};
}

FileResult ConvertOrThrow(const PlannedFile& file, const ConvertOptions& options,
                          const FileTurn& turn) {
    if (!file.refusal.empty()) {
        return {.message = file.refusal};
    }
    if (options.noClobber && !file.toStandardOutput && Exists(file.output)) {
        return Skipped(file);
    }
    const std::optional<struct stat> times = SourceTimes(file, options);
    std::vector<uint8_t> source = jpeg::ReadJpegFile(SourcePath(file), TNonRegular::ReadToEnd);
    const uint64_t sourceBytes = source.size();
    // Only a kept source sent to standard output is needed once converted.
    const bool sourceNeededAfter = options.onlySmaller && file.toStandardOutput;
    const FittedConversion converted = Convert(source, sourceNeededAfter, options, turn);

    FileResult result{.outcome = FileOutcome::kConverted,
                      .sourceBytes = sourceBytes,
                      .outputBytes = converted.bytes.size(),
                      .compressPercent = converted.compressPercent};
    if (options.onlySmaller && converted.bytes.size() >= sourceBytes) {
        result.outcome = FileOutcome::kKept;
    }
    if (options.dryRun) {
        return result;
    }
    if (turn.awaitEarlier) {
        turn.awaitEarlier();
    }
    if (file.toStandardOutput) {
        // A pipe must still receive a picture: the source itself when it was kept.
        const std::vector<uint8_t>& bytes =
            result.outcome == FileOutcome::kKept ? source : converted.bytes;
        WriteAll(STDOUT_FILENO, bytes.data(), bytes.size());
        return result;
    }
    if (result.outcome == FileOutcome::kKept) {
        return result;
    }
    MakeParentFolders(file.output);
    // Another program (or a link between two of the sources) may have made the output
    // meanwhile.
    if (options.noClobber && Exists(file.output)) {
        return Skipped(file);
    }
    WriteConversion(SourcePath(file), file.output, converted.bytes);
    if (times) {
        CopyTimes(*times, file.output);
    }
    return result;
}

}  // namespace

FileResult ConvertPlannedFile(const PlannedFile& file, const ConvertOptions& options,
                              const FileTurn& turn) {
    try {
        return ConvertOrThrow(file, options, turn);
    } catch (const std::bad_alloc&) {
        return {.message = EOutOfMemory().what()};
    } catch (const std::exception& error) {
        return {.message = error.what()};
    }
}

}  // namespace velmora::cli
