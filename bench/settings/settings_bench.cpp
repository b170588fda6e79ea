// The settings document per operation: decoding and mapping a full document, load() from disk,
// encoding, save() with and without the fsyncs, and hasSameStoredValues. The peer is a plain
// nlohmann::json parse and dump of the same bytes, measured in the same run.

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include "core/settings/stored_settings.h"
#include "core/settings/taskbar_settings.h"

namespace {

using namespace tavrel;
namespace fs = std::filesystem;

// A realistic document: every key, a few list entries in each list.
TaskbarSettings fullSettings() {
    TaskbarSettings settings;
    settings.theme = TaskbarTheme::windows;
    settings.taskbarExcludedDisplayIdentifiers = std::vector<std::string>{"37D8832A-2D66-02CA"};
    for (int i = 0; i < 8; ++i) {
        const std::string n = std::to_string(i);
        settings.closeProtectionApps.push_back(
            {"Application " + n, "com.example.app" + n, "/Applications/Application " + n + ".app"});
        settings.taskbarExcludedApplications.push_back(
            {"com.example.hidden" + n, std::nullopt, "Hidden " + n});
    }
    ApplicationStorageBoxConfiguration box = ApplicationStorageBoxConfiguration::legacy(true);
    box.manualAppOrder = std::vector<std::string>{"com.apple.Notes", "com.apple.mail"};
    settings.applicationStorageBoxes.push_back(box);
    return settings;
}

const std::string& fullDocument() {
    static const std::string bytes = fullSettings().encoded().value();
    return bytes;
}

fs::path benchDirectory() {
    static const fs::path directory = [] {
        const char* base = std::getenv("TMPDIR");
        fs::path path = fs::path(base != nullptr ? base : "/tmp") /
                        ("tavrel-settings-bench-" + std::to_string(::getpid()));
        fs::create_directories(path);
        return path;
    }();
    return directory;
}

SettingsEnvironment environment(platform::Durability durability) {
    SettingsEnvironment env;
    env.directory = benchDirectory();
    env.durability = durability;
    return env;
}

void BM_PeerJsonParseAndDump(benchmark::State& state) {
    for (auto _ : state) {
        auto json = nlohmann::json::parse(fullDocument());
        std::string text = json.dump();
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * fullDocument().size());
}
BENCHMARK(BM_PeerJsonParseAndDump);

void BM_PeerJsonParse(benchmark::State& state) {
    for (auto _ : state) {
        auto json = nlohmann::json::parse(fullDocument());
        benchmark::DoNotOptimize(json);
    }
}
BENCHMARK(BM_PeerJsonParse);

void BM_DecodeAndMapFullDocument(benchmark::State& state) {
    for (auto _ : state) {
        TaskbarSettings settings;
        settings.map(StoredSettings::decode(fullDocument()).value());
        benchmark::DoNotOptimize(settings);
    }
    state.SetBytesProcessed(state.iterations() * fullDocument().size());
}
BENCHMARK(BM_DecodeAndMapFullDocument);

void BM_LoadFullDocumentFromDisk(benchmark::State& state) {
    const auto env = environment(platform::Durability::fast);
    if (!fullSettings().save(env).ok()) state.SkipWithError("cannot write the document");
    for (auto _ : state) {
        TaskbarSettings settings;
        const auto report = settings.load(env);
        if (report.saved) state.SkipWithError("a complete document must not be rewritten");
        benchmark::DoNotOptimize(settings);
    }
}
BENCHMARK(BM_LoadFullDocumentFromDisk);

void BM_Encode(benchmark::State& state) {
    const TaskbarSettings settings = fullSettings();
    for (auto _ : state) {
        auto bytes = settings.encoded();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(state.iterations() * fullDocument().size());
}
BENCHMARK(BM_Encode);

void BM_HasSameStoredValues(benchmark::State& state) {
    const TaskbarSettings a = fullSettings();
    TaskbarSettings b = fullSettings();
    b.todoLineSpacing += 1;  // differs in one value, as after an edit
    for (auto _ : state) {
        bool same = a.hasSameStoredValues(b);
        benchmark::DoNotOptimize(same);
    }
}
BENCHMARK(BM_HasSameStoredValues);

void BM_SaveDurable(benchmark::State& state) {
    const TaskbarSettings settings = fullSettings();
    const auto env = environment(platform::Durability::durable);
    for (auto _ : state) {
        if (!settings.save(env).ok()) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveDurable)->UseRealTime();

void BM_SaveWithoutFsync(benchmark::State& state) {
    const TaskbarSettings settings = fullSettings();
    const auto env = environment(platform::Durability::fast);
    for (auto _ : state) {
        if (!settings.save(env).ok()) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveWithoutFsync)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(benchDirectory(), ignored);
    return 0;
}
