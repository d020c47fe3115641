// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <chrono>
#include <vector>

#include <QString>

class QWidget;
namespace corvane {
class TFMain;
}
using corvane::TFMain;

using BenchClock = std::chrono::steady_clock;

// Shows a window and runs its event loop until the first paint of the window has been handled
// (the children paint within the same pass); false when no paint came within the time limit.
bool ShowUntilPainted(QWidget& window);

// Handles every pending event, repaints included.
void ProcessPendingEvents();

// Types the texts of a design into the window's fields and chooses its items.
struct Design {
    QString type;
    QString model;
    QString poles;
    QString ripple;
    QString fmin;
    QString fmax;
};
void EnterDesign(TFMain& window, const Design& design);

// Whether the grid and both curves show a finished run of N poles.
bool ShowsRun(const TFMain& window, int poles);

double Median(std::vector<double> values);
double Percentile(std::vector<double> values, double fraction);
// Peak resident memory of this process in MiB (VmHWM).
double PeakResidentMiB();
double Microseconds(BenchClock::duration duration);
