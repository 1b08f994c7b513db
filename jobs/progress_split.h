// How one job fraction is shown on the progress bars.
#pragma once

struct ProgressBars {
    double first = 0.0;
    double second = 0.0;
};

// A two-stage job reports its first stage in [0, 0.5] and its second in [0.5, 1]; each
// stage gets a bar of its own. Any other job fills the first bar alone.
inline ProgressBars splitProgress(double fraction, bool twoStage) {
    if (!twoStage)
        return {fraction, 0.0};
    const double first = 2 * fraction < 1 ? 2 * fraction : 1.0;
    double second = 0.0;
    if (fraction > 0.5)
        second = 2 * (fraction - 0.5) < 1 ? 2 * (fraction - 0.5) : 1.0;
    return {first, second};
}
