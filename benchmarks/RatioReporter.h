#pragma once

// A console reporter that also keeps each run's time per iteration, so that a benchmark
// program can print its paths as ratios to a floor measured in the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                seconds_[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    // Prints "what: path / floor" when both ran.
    void ratio(const char* what, const std::string& path, const std::string& floor) const {
        const auto a = seconds_.find(path), b = seconds_.find(floor);
        if (a != seconds_.end() && b != seconds_.end() && b->second > 0)
            std::printf("%-40s %6.2f\n", what, a->second / b->second);
    }

  private:
    std::map<std::string, double> seconds_;
};
