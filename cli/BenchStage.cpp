// SPDX-License-Identifier: Apache-2.0
#include "cli/BenchStage.h"

#include <cmath>
#include <cstdio>
#include <ostream>

#include "filtermath/EngineeringText.h"

namespace corvane {

namespace {

// Time points of the responses; the text shows every 1/kTextRows-th of them.
constexpr int kTimePoints = 4096;
constexpr int kTextRows = 20;

nlohmann::ordered_json OrNull(bool present, double value)
{
    return present ? nlohmann::ordered_json(value) : nlohmann::ordered_json();
}

// Padded to width characters; "µ" is two bytes of UTF-8 but one character.
std::string Cell(const std::string& text, size_t width)
{
    size_t characters = 0;
    for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return characters < width ? text + std::string(width - characters, ' ') : text;
}

std::string Printed(const char* format, double value)
{
    char text[40];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

void BenchStage::Run(const DesignState& state, LadderTopology topology, const AnalysisOptions& analysis)
{
    const LadderModel built = AnalyseDesign(ModelOfRun(state, topology), analysis, {}, state.UnitScale).ladder;
    RunLadder(built, analysis.quality, BandOfRun(state));
}

void BenchStage::RunLadder(const LadderModel& ladder, const PartQuality& quality, const DesignBand& band)
{
    if (options_.TimeAsked()) time_ = AnalyseTime(ladder, quality, band, kTimePoints);
}

void BenchStage::AddJson(nlohmann::ordered_json& json) const
{
    if (!time_) return;
    json["Time"] = time_->time;
    if (options_.step) json["Step"] = time_->step;
    if (options_.impulse) {
        json["Impulse"] = time_->impulse;
        json["ImpulseAtZero"] = time_->impulseAtZero;
    }
    const std::optional<StepFigures>& f = time_->figures;
    json["Overshoot"] = OrNull(f.has_value(), f ? f->overshootPercent : 0.0);
    json["RiseTime"] = OrNull(f.has_value(), f ? f->riseSeconds : 0.0);
    json["SettlingTime"] = OrNull(f.has_value(), f ? f->settlingSeconds : 0.0);
}

void BenchStage::PrintText(std::ostream& out) const
{
    if (time_) PrintTime(out);
}

void BenchStage::PrintTime(std::ostream& out) const
{
    const TimeResponse& r = *time_;
    out << "\nTime response of S21 from rest, " << r.time.size() << " points to " << EngineeringText(r.time.back(), "s")
        << '\n';
    if (r.figures) {
        out << "Overshoot " << Printed("%.2f", r.figures->overshootPercent) << " %, rise time (10 to 90 %) "
            << EngineeringText(r.figures->riseSeconds, "s") << ", settling time (to 1 %) "
            << EngineeringText(r.figures->settlingSeconds, "s") << '\n';
    } else {
        out << "The step response settles to zero: no overshoot, rise or settling time.\n";
    }
    if (r.impulseAtZero != 0.0 && options_.impulse)
        out << "The impulse response begins with a pulse of weight " << Printed("%.6g", r.impulseAtZero) << '\n';
    const size_t width = 14;
    std::string head = Cell("Time", width);
    if (options_.step) head += Cell("Step", width);
    if (options_.impulse) head += "Impulse, [1/s]";
    out << head << '\n';
    const size_t stride = (r.time.size() - 1) / kTextRows;
    for (size_t i = 0; i < r.time.size(); i += stride) {
        std::string line = Cell(EngineeringText(r.time[i], "s"), width);
        // No "-0.000000" for a value that rounds to nothing.
        if (options_.step) line += Cell(Printed("%.6f", std::fabs(r.step[i]) < 5e-7 ? 0.0 : r.step[i]), width);
        if (options_.impulse) line += Printed("%.6g", r.impulse[i]);
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out << line << '\n';
    }
}

} // namespace corvane
