#include "source_list.h"

#include <sys/stat.h>

#include "core/file_io.h"

namespace velmora::cli {

namespace {

constexpr const char* kStandardInputName = "stdin.jpg";

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string JoinRelative(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

// A folder's files; each output name is the file's path under the folder after `prefix`.
void AddFolder(const std::string& folder, const std::string& prefix, const SourceRules& rules,
               std::vector<PlannedFile>& files) {
    FolderWalkCallbacks callbacks;
    callbacks.file = [&](const std::string& path, const std::string& relativePath) {
        files.push_back({.source = path, .outputName = JoinRelative(prefix, relativePath)});
    };
    callbacks.error = [&](const std::string& path, const std::string& message) {
        files.push_back({.source = path, .refusal = message});
    };
    WalkJpegFiles(folder, rules.outputFolder, callbacks);
}

// One path that names a file or a folder; outputName is what a file keeps.
void AddPath(const std::string& path, const std::string& outputName, const SourceRules& rules,
             std::vector<PlannedFile>& files) {
    if (!IsFolder(path)) {
        files.push_back({.source = path, .outputName = outputName});
    } else if (rules.recursive) {
        AddFolder(path, outputName, rules, files);
    } else {
        files.push_back({.source = path,
                         .refusal = "not converted, a folder (-R converts the .jpg files in it)"});
    }
}

}  // namespace

void AddFileArguments(const std::vector<std::string>& arguments, const SourceRules& rules,
                      std::vector<PlannedFile>& files) {
    for (const std::string& argument : arguments) {
        if (argument == "-") {
            files.push_back(
                {.source = argument, .fromStandardInput = true, .outputName = kStandardInputName});
        } else if (rules.recursive && IsFolder(argument)) {
            // The folder itself is the root of its outputs' paths.
            AddFolder(argument, "", rules, files);
        } else {
            AddPath(argument, FileNameOf(argument), rules, files);
        }
    }
}

void AddListedNames(const std::vector<std::string>& names, const SourceRules& rules,
                    std::vector<PlannedFile>& files) {
    for (const std::string& name : names) {
        if (!rules.recursive) {
            AddPath(name, FileNameOf(name), rules, files);
        } else if (const auto outputName = ListedOutputName(name)) {
            AddPath(name, *outputName, rules, files);
        } else {
            files.push_back({.source = name,
                             .refusal = "not converted, a \"..\" in its path leads out of DIR"});
        }
    }
}

std::vector<std::string> SplitNames(const std::string& text, char separator) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (end > start) {
            names.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
}

std::optional<std::string> ListedOutputName(const std::string& path) {
    std::string outputName;
    for (const std::string& step : SplitNames(path, '/')) {
        if (step == "..") {
            return std::nullopt;
        }
        if (step != ".") {
            outputName = JoinRelative(outputName, step);
        }
    }
    return outputName;
}

}  // namespace velmora::cli
