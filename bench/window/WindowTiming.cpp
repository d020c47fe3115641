// SPDX-License-Identifier: Apache-2.0
#include "bench/window/WindowTiming.h"

#include <algorithm>
#include <fstream>
#include <string>

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>

#include "chart/TChart.h"
#include "filtermath/Sweep.h"
#include "window/TFMain.h"

using namespace corvane;

namespace {

constexpr int kPaintTimeLimitMs = 10000;

// Ends an event loop once its widget has received a paint event.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QEventLoop& loop) : loop_(loop) {}
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            loop_.quit();
        }
        return false;
    }

private:
    QEventLoop& loop_;
};

void Choose(TFMain& window, const char* name, const QString& item)
{
    QComboBox* box = window.findChild<QComboBox*>(QString::fromLatin1(name));
    box->setCurrentIndex(box->findText(item));
}

void SetText(TFMain& window, const char* name, const QString& text)
{
    window.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(text);
}

} // namespace

bool ShowUntilPainted(QWidget& window)
{
    QEventLoop loop;
    PaintWatch watch(loop);
    window.installEventFilter(&watch);
    QTimer::singleShot(kPaintTimeLimitMs, &loop, &QEventLoop::quit);
    window.show();
    if (!watch.painted) loop.exec();
    window.removeEventFilter(&watch);
    return watch.painted;
}

void ProcessPendingEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void EnterDesign(TFMain& window, const Design& design)
{
    Choose(window, "CBType", design.type);
    Choose(window, "CBModel", design.model);
    SetText(window, "leN", design.poles);
    SetText(window, "leRipple", design.ripple);
    SetText(window, "leFmin", design.fmin);
    SetText(window, "leFmax", design.fmax);
}

bool ShowsRun(const TFMain& window, int poles)
{
    const QTableWidget* grid = window.findChild<QTableWidget*>(QStringLiteral("SG1"));
    const TChart* chart = window.findChild<TChart*>(QStringLiteral("chGain"));
    const QTableWidgetItem* last = grid->item(poles - 1, 0);
    return last && last->text() == QStringLiteral("G%1").arg(poles) && chart->PointCount(0) == SweepPoints &&
           chart->PointCount(1) == SweepPoints;
}

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty()) return 0.0;
    const size_t k = std::min(values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size())));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
    return values[k];
}

double Median(std::vector<double> values)
{
    return Percentile(std::move(values), 0.5);
}

double PeakResidentMiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            double kib = 0;
            status >> kib;
            return kib / 1024.0;
        }
        status.ignore(4096, '\n');
    }
    return 0.0;
}

double Microseconds(BenchClock::duration duration)
{
    return std::chrono::duration<double, std::micro>(duration).count();
}
