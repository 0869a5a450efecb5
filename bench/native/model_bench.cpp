// Native benchmarks of the data model, each an A/B pair measured side by side:
//   load: a 10,000-item document (100 pages of 10 x 10) into TDocument, against
//         reading the same file's bytes into memory;
//   save: SaveIfNeeded of 10 pages x 15 items (serialise, temporary file, flush,
//         replace, both icon caches), against writing the same bytes of the three
//         files with one write, flush and rename each.
// Run with --benchmark_enable_random_interleaving=true --benchmark_repetitions=7.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "model/document.h"
#include "model/host.h"
#include "support/document_fill.h"
#include "support/fake_host.h"
#include "support/fake_system.h"
#include "platform/filestream.h"

namespace {

// A program folder holding a document of pages x (width x height) filled items.
struct TBenchFolder {
    TFakeSystem System;
    TFakeHost Host;

    TBenchFolder(int pages, int width, int height) {
        WriteFilledDocument(pages, width, height, [](TItem& item, size_t n) {
            std::string path =
                "C:\\Program Files\\Tool " + std::to_string(n) + "\\tool" + std::to_string(n) + ".exe";
            item.Path = path;
            item.Name = "ツール " + std::to_string(n);
            item.IFol = "C:\\Program Files\\Tool " + std::to_string(n);
            item.LFol = item.IFol;
            item.Comment = "コメント";
            item.ImageIndex = -1;
        });
    }
    std::string DataFile() { return System.ProgramFolder() + "Kiropad.gbi"; }
};

void WriteFlushRename(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string temp = name + ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != (ssize_t)bytes.size() || ::fsync(fd) != 0)
        std::abort();
    ::close(fd);
    if (::rename(temp.c_str(), name.c_str()) != 0) std::abort();
}

void LoadDocument(benchmark::State& state) {
    TBenchFolder folder(100, 10, 10);
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<TDocument>();
        SetDocument(doc.get());
        state.ResumeTiming();
        doc->Init();
        benchmark::DoNotOptimize(doc->Pages.data());
        state.PauseTiming();
        if (doc->Pages.size() != 100 || doc->Pages[99]->Items()[99]->Path.empty())
            state.SkipWithError("bad load");
        doc->NoSave = true;
        doc.reset();
        SetDocument(nullptr);
        state.ResumeTiming();
    }
}
BENCHMARK(LoadDocument)->Name("load/A_document_10000_items")->Unit(benchmark::kMillisecond);

void ReadFileBytes(benchmark::State& state) {
    TBenchFolder folder(100, 10, 10);
    std::string name = folder.DataFile();
    for (auto _ : state) {
        std::vector<uint8_t> bytes = platform::ReadWholeFile(name);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(ReadFileBytes)->Name("load/B_read_file_bytes")->Unit(benchmark::kMillisecond);

void SaveDocument(benchmark::State& state) {
    TBenchFolder folder(10, 5, 3);
    auto doc = std::make_unique<TDocument>();
    SetDocument(doc.get());
    doc->Init();
    for (auto _ : state)
        doc->SaveIfNeeded(TSaveReason::Command);
    doc->NoSave = true;
    doc.reset();
    SetDocument(nullptr);
}
BENCHMARK(SaveDocument)->Name("save/A_SaveIfNeeded_10x15")->Unit(benchmark::kMillisecond);

void WriteThreeFiles(benchmark::State& state) {
    TBenchFolder folder(10, 5, 3);
    {
        auto doc = std::make_unique<TDocument>();
        SetDocument(doc.get());
        doc->Init();
        doc->SaveIfNeeded(TSaveReason::Command); // makes the two cache files too
        doc->NoSave = true;
        doc.reset();
        SetDocument(nullptr);
    }
    std::string dir = folder.System.ProgramFolder();
    const char* names[3] = {"Kiropad.gbi", "IconClList.bdt", "IconMsList.bdt"};
    std::vector<uint8_t> bytes[3];
    for (int i = 0; i < 3; ++i)
        bytes[i] = platform::ReadWholeFile(dir + names[i]);
    for (auto _ : state)
        for (int i = 0; i < 3; ++i)
            WriteFlushRename(dir + names[i] + std::string(".b"), bytes[i]);
}
BENCHMARK(WriteThreeFiles)->Name("save/B_write_flush_rename_3_files")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
