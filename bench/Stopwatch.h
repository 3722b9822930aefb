#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

// The quartiles of a set of figures: the spread a row reports.
struct Spread {
    double min = 0;
    double q1 = 0;
    double median = 0;
    double q3 = 0;
    double max = 0;
};

inline double quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    if (values.empty())
        return 0;
    const double at = q * double(values.size() - 1);
    const size_t below = size_t(at);
    const size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (at - double(below));
}

inline Spread spreadOf(const std::vector<double>& values) {
    return {quantile(values, 0), quantile(values, 0.25), quantile(values, 0.5),
            quantile(values, 0.75), quantile(values, 1)};
}

// One run of `work`, in milliseconds.
inline double timeMs(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// `runs` runs of `work`, in milliseconds. `prepare` runs before each run,
// outside the time.
inline std::vector<double> timesMs(int runs, const std::function<void()>& work,
                                   const std::function<void()>& prepare = {}) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        times.push_back(timeMs(work));
    }
    return times;
}

// The median wall-clock time of `runs` runs of `work`, in milliseconds.
inline double medianMs(int runs, const std::function<void()>& work,
                       const std::function<void()>& prepare = {}) {
    return spreadOf(timesMs(runs, work, prepare)).median;
}

// Program and yardstick timed in pairs, one right after the other, the one
// going first alternating from pair to pair; each is run once untimed
// first. A burst of load from other processes on the machine then slows
// both halves of a pair alike, and the ratio within each pair stays fair.
struct PairedResult {
    Spread program;   // ms
    Spread yardstick; // ms
    Spread ratio;     // program ÷ yardstick, pair by pair
};

inline PairedResult pairedRuns(int pairs, const std::function<void()>& program,
                               const std::function<void()>& yardstick,
                               const std::function<void()>& prepare = {}) {
    auto once = [&](const std::function<void()>& work) {
        if (prepare)
            prepare();
        return timeMs(work);
    };
    once(program);
    once(yardstick);
    std::vector<double> programMs, yardstickMs, ratios;
    for (int i = 0; i < pairs; ++i) {
        double p, y;
        if (i % 2 == 0) {
            p = once(program);
            y = once(yardstick);
        } else {
            y = once(yardstick);
            p = once(program);
        }
        programMs.push_back(p);
        yardstickMs.push_back(y);
        ratios.push_back(p / y);
    }
    return {spreadOf(programMs), spreadOf(yardstickMs), spreadOf(ratios)};
}
