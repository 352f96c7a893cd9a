// Clock and medians of the benchmark. The machines it runs on are shared and
// noisy, so every figure is the median of several runs.
#ifndef ZANTOR_BENCH_TIMING_H
#define ZANTOR_BENCH_TIMING_H

#include <functional>
#include <vector>

// Seconds on a monotonic clock, from an arbitrary origin.
double now_seconds();

// The middle value (the mean of the two middle ones for an even count).
double median(std::vector<double> values);

// Median of `runs` calls of `run`, each returning the seconds it measured
// (a run may leave its own preparation out of the figure).
double median_of_runs(int runs, const std::function<double()>& run);

// Medians of `runs` runs of a measure and of its floor, the runs taking
// turns, so that a noisy moment of the machine falls on both alike.
void medians_by_turns(int runs, const std::function<double()>& measure, const std::function<double()>& floor,
                      double& measure_median, double& floor_median);

#endif
