// The file list over a folder of 5,000 JPEG files: listing it (enumerate, filter, sort) must
// not open a single file, and scrolling through it only reads the details of the rows drawn.
// Reported beside the times: the entries listed, the details read, the bytes read from files
// (the kernel's count for this process) and the resident memory the listing added.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QScrollBar>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/bitmap.h"
#include "core/jpeg_image.h"
#include "ui/browser/FileNames.h"
#include "ui/browser/ShellListModel.h"
#include "ui/browser/ShellListView.h"

namespace {

namespace fs = std::filesystem;
using namespace velmora;

constexpr int kFiles = 5000;

// The folder is made once per run: 5,000 copies of a 640 × 480 photograph-sized JPEG named
// like a camera's files, plus 200 files of other kinds for the filter to drop.
const std::string& PhotoFolder() {
    static const std::string folder = [] {
        const fs::path root =
            fs::temp_directory_path() / ("velmora_bench_" + std::to_string(::getpid()));
        fs::create_directories(root / "photos");
        fs::create_directories(root / "other");
        TBitmap bitmap(640, 480);
        for (int y = 0; y < bitmap.Height(); ++y) {
            uint8_t* row = bitmap.ScanLine(y);
            for (int x = 0; x < 3 * bitmap.Width(); ++x) {
                row[x] = uint8_t((x * 7) ^ (y * 3));
            }
        }
        TJPEGImage picture;
        picture.CopyPicture(bitmap);
        const fs::path first = root / "photos" / "IMG_1.jpg";
        picture.SavePictureFile(first.string());
        for (int i = 2; i <= kFiles; ++i) {
            const char* extension = i % 3 == 0 ? ".JPG" : ".jpg";
            fs::copy_file(first, root / "photos" / ("IMG_" + std::to_string(i) + extension));
        }
        for (int i = 0; i < 200; ++i) {
            std::ofstream(root / "photos" / ("notes_" + std::to_string(i) + ".txt")) << i;
        }
        return (root / "photos").string();
    }();
    return folder;
}

std::string OtherFolder() {
    return fs::path(PhotoFolder()).parent_path().append("other");
}

void RemoveFolders() {
    std::error_code ignored;
    fs::remove_all(fs::path(PhotoFolder()).parent_path(), ignored);
}

// Bytes this process has read through read() and its kind, from /proc/self/io.
long long BytesRead() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") {
            return value;
        }
    }
    return -1;
}

long long ResidentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long long size = 0;
    long long resident = 0;
    statm >> size >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

void KeepJpgFiles(ui::TShellListView* view) {
    view->OnAddFolder = [](ui::TShellListView*, const ui::TShellItem& item, bool& canAdd) {
        canAdd = ui::HasJpgExtension(item.displayName);
    };
}

void BM_ListFolderOf5000Jpegs(benchmark::State& state) {
    const std::string& photos = PhotoFolder();
    ui::TShellListView view;
    KeepJpgFiles(&view);
    const long long residentBefore = ResidentKilobytes();
    long long bytesRead = 0;
    for (auto _ : state) {
        state.PauseTiming();
        view.SetRootFolder(OtherFolder());
        const long long readBefore = BytesRead();
        state.ResumeTiming();
        view.SetRootFolder(photos);
        state.PauseTiming();
        bytesRead = BytesRead() - readBefore;
        state.ResumeTiming();
    }
    state.counters["entries"] = view.EntryCount();
    state.counters["details_read"] = view.Model()->DetailsRead();
    state.counters["file_bytes_read"] = static_cast<double>(bytesRead);
    state.counters["resident_added_kB"] = static_cast<double>(ResidentKilobytes() - residentBefore);
}
BENCHMARK(BM_ListFolderOf5000Jpegs)->Unit(benchmark::kMillisecond);

// One page down and the repaint it causes, through the whole list and back to the top.
void BM_ScrollOnePage(benchmark::State& state) {
    ui::TShellListView view;
    KeepJpgFiles(&view);
    view.resize(583, 400);
    view.SetRootFolder(PhotoFolder());
    view.show();
    QApplication::processEvents();
    QScrollBar* bar = view.verticalScrollBar();
    QImage target(view.viewport()->size(), QImage::Format_RGB32);
    const long long readBefore = BytesRead();
    long long pages = 0;
    for (auto _ : state) {
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        view.viewport()->render(&target);
        ++pages;
    }
    state.counters["details_read"] = view.Model()->DetailsRead();
    state.counters["file_bytes_read_per_page"] =
        static_cast<double>(BytesRead() - readBefore) / static_cast<double>(pages);
}
BENCHMARK(BM_ScrollOnePage)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RemoveFolders();
    return 0;
}
