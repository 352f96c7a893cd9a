#include "bench/zantor_bench_timing.h"

#include <algorithm>
#include <chrono>

double now_seconds()
{
    using clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(clock::now().time_since_epoch()).count();
}

double median(std::vector<double> values)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

double median_of_runs(int runs, const std::function<double()>& run)
{
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        seconds.push_back(run());
    }
    return median(seconds);
}

void medians_by_turns(int runs, const std::function<double()>& measure, const std::function<double()>& floor,
                      double& measure_median, double& floor_median)
{
    std::vector<double> measures, floors;
    for (int run = 0; run < runs; ++run) {
        measures.push_back(measure());
        floors.push_back(floor());
    }
    measure_median = median(measures);
    floor_median = median(floors);
}
