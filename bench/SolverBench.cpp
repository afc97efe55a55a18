// Solver speed: nanoseconds per point update (sweeps x interior points) for the default
// ferroelectric and ordinary-semiconductor cases, and the wall time of a whole default run of the
// command-line tool.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/StaticRun.h"
#include "engine/Simulation.h"
#include "results/Conditions.h"

extern char** environ;

namespace {

class CountingProgress final : public ProgressReport {
public:
    void Show() override {}
    void SetMax(std::int64_t) override {}
    void Reset() override { sweeps = 0; }
    void Step() override { ++sweeps; }
    void Close() override {}
    std::int64_t sweeps = 0;
};

class NoOutlets final : public StaticRunOutlets {
public:
    void ReportError(const std::string&) override { std::abort(); }
    void SetConditionLabels(const std::string&, const std::string&, const std::string&) override {}
    void EnterBusy() override {}
    void LeaveBusy() override {}
    void ClearPlot(PlotChart) override {}
    void AddPoint(PlotChart, double, double) override {}
};

struct StopAtFirstSweep {};

// Stops a static run at its first sweep, once every input has been stored in the model.
class StoppingProgress final : public ProgressReport {
public:
    void Show() override {}
    void SetMax(std::int64_t) override {}
    void Reset() override {}
    void Step() override { throw StopAtFirstSweep{}; }
    void Close() override {}
};

// The model exactly as a static run with these texts hands it to the solver.
Simulation PreparedModel(const ParameterTexts& texts) {
    Simulation model;
    StoreStartupConditions(model);
    NoOutlets outlets;
    StoppingProgress progress;
    try {
        RunStaticCharacteristics(model, texts, outlets, progress);
    } catch (const StopAtFirstSweep&) {
    }
    return model;
}

void SolveCase(benchmark::State& state, const ParameterTexts& texts) {
    Simulation model = PreparedModel(texts);
    CountingProgress progress;
    std::int64_t updates = 0;
    std::chrono::duration<double, std::nano> solving{0};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        model.CalculateBandBending(progress);
        solving += std::chrono::steady_clock::now() - start;
        updates += progress.sweeps * (model.GetNumberOfPoints() - 2);
        benchmark::DoNotOptimize(model.Voltage.data());
    }
    state.counters["sweeps"] = static_cast<double>(progress.sweeps);
    state.counters["ns_per_point_update"] = solving.count() / static_cast<double>(updates);
}

void BM_SolveFerroelectricDefault(benchmark::State& state) {
    SolveCase(state, ParameterTexts{});
}

void BM_SolveSemiconductorDefault(benchmark::State& state) {
    ParameterTexts texts;
    texts.MaxRemanentPolarization = "0";
    texts.MaxCoerciveField = "0";
    SolveCase(state, texts);
}

void BM_CommandLineDefaultRun(benchmark::State& state) {
    for (auto _ : state) {
        pid_t pid = 0;
        char program[] = BANDBENDING_CLI;
        char* argv[] = {program, nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid, program, &actions, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start the command-line tool");
            break;
        }
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the command-line tool failed");
            break;
        }
    }
}

}  // namespace

BENCHMARK(BM_SolveFerroelectricDefault)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SolveSemiconductorDefault)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommandLineDefaultRun)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

BENCHMARK_MAIN();
