// SPDX-License-Identifier: Apache-2.0
#include "cli/BenchStage.h"

#include <cmath>
#include <cstdio>
#include <ostream>

#include "cli/TextCells.h"
#include "analysis/InputRules.h"
#include "export/Renormalise.h"
#include "export/TouchstoneReader.h"
#include "filtermath/EngineeringText.h"

namespace corvane {

namespace {

// Time points of the responses; the text shows every 1/kTextRows-th of them.
constexpr int kTimePoints = 4096;
constexpr int kTextRows = 20;
constexpr double kDefaultFitTolerancePercent = 5.0;

nlohmann::ordered_json OrNull(bool present, double value)
{
    return present ? nlohmann::ordered_json(value) : nlohmann::ordered_json();
}

} // namespace

void BenchStage::RunLadder(const LadderModel& ladder, const PartQuality& quality, const DesignBand& band,
                           double unitScale)
{
    unitScale_ = unitScale;
    if (options_.TimeAsked()) time_ = AnalyseTime(ladder, quality, band, kTimePoints);
    if (options_.measuredFile.empty()) return;
    const std::vector<MeasuredPoint> points =
        MeasuredPointsAt(ReadTouchstone(options_.measuredFile), ladder.RS, ladder.RL);
    measuredPoints_ = points.size();
    try {
        measured_ = CompareMeasured(points, ladder, quality, band, unitScale);
        if (options_.fit) RunFit(points, ladder, quality, band);
    } catch (const InputError&) {
        throw;
    } catch (const Failure& failure) {
        throw Failure(options_.measuredFile + ": " + failure.what());
    }
}

void BenchStage::SetTolerances(const std::string& inductorPercent, const std::string& capacitorPercent)
{
    const auto read = [](const std::string& text, const char* field) {
        const double percent = ReadTolerancePercent(text, field, ToleranceDistribution::Uniform);
        return percent > 0.0 ? percent : kDefaultFitTolerancePercent;
    };
    fitRequest_.inductorPercent = read(inductorPercent, "--tol-l");
    fitRequest_.capacitorPercent = read(capacitorPercent, "--tol-c");
}

void BenchStage::RunFit(const std::vector<MeasuredPoint>& points, const LadderModel& ladder, const PartQuality& quality,
                        const DesignBand& band)
{
    FitRequest request = fitRequest_;
    request.fitInductorQ = options_.fitQ;
    request.fitStray = options_.fitStray;
    request.lowHz = points.front().hz;
    request.highHz = points.back().hz;
    if (!options_.fitStart.empty())
        request.lowHz = ReadFrequency(options_.fitStart, "--fit-start", unitScale_) * unitScale_;
    if (!options_.fitStop.empty())
        request.highHz = ReadFrequency(options_.fitStop, "--fit-stop", unitScale_) * unitScale_;
    if (!(request.lowHz < request.highHz)) throw InputError("--fit-start must lie below --fit-stop.");
    fit_ = FitParts(points, ladder, quality, band, request);
}

void BenchStage::AddJson(nlohmann::ordered_json& json) const
{
    AddMeasuredJson(json);
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

void BenchStage::AddMeasuredJson(nlohmann::ordered_json& json) const
{
    if (!measured_) return;
    const double scale = unitScale_;
    const auto edges = [scale](const std::optional<double>& low, const std::optional<double>& high) {
        return nlohmann::ordered_json::array(
            {OrNull(low.has_value(), low.value_or(0.0) / scale), OrNull(high.has_value(), high.value_or(0.0) / scale)});
    };
    const auto figures = [&edges](const ResponseFigures& f) {
        nlohmann::ordered_json j;
        j["PassLossDb"] = f.passLossDb;
        j["RippleDb"] = f.rippleDb;
        j["Edge3dB"] = edges(f.edge3LowHz, f.edge3HighHz);
        j["Edge20dB"] = edges(f.edge20LowHz, f.edge20HighHz);
        j["ReturnLossDb"] = f.returnLossDb;
        return j;
    };
    nlohmann::ordered_json measured = figures(measured_->measuredFigures);
    measured["File"] = options_.measuredFile;
    measured["Points"] = measuredPoints_;
    json["Measured"] = measured;
    json["MeasuredDesign"] = figures(measured_->designFigures);
    if (!fit_) return;
    nlohmann::ordered_json parts = nlohmann::ordered_json::object();
    for (const FittedPart& p : fit_->parts) {
        nlohmann::ordered_json part;
        part["Value"] = p.fitted;
        part["Designed"] = p.designed;
        part["ChangePercent"] = p.changePercent;
        part["StdErrorPercent"] = p.stdErrorPercent;
        part["Confidence"] = ConfidenceName(p.confidence);
        part["OutsideTolerance"] = p.outsideTolerance;
        parts[p.designator] = part;
    }
    json["Fit"] = parts;
    json["FitResidualDb"] = fit_->residualDb;
    if (fit_->inductorQ) json["FitInductorQ"] = *fit_->inductorQ;
    if (fit_->strayFarads) {
        json["FitStrayC"] = *fit_->strayFarads;
        json["FitStrayCStdError"] = fit_->strayStdErrorFarads;
    }
}

void BenchStage::PrintText(std::ostream& out) const
{
    if (measured_) PrintMeasured(out);
    if (fit_) PrintFit(out);
    if (time_) PrintTime(out);
}

void BenchStage::PrintMeasured(std::ostream& out) const
{
    const ResponseFigures& d = measured_->designFigures;
    const ResponseFigures& m = measured_->measuredFigures;
    const auto hz = [](const std::optional<double>& f) { return f ? EngineeringText(*f, "Hz") : std::string("-"); };
    const auto edges = [&hz](const std::optional<double>& low, const std::optional<double>& high) {
        return low && high ? hz(low) + " to " + hz(high) : low ? hz(low) : hz(high);
    };
    const std::vector<double>& f = measured_->measured.NetFreq;
    out << "\nMeasured " << options_.measuredFile << ", " << measuredPoints_ << " points from "
        << EngineeringText(f.front() * unitScale_, "Hz") << " to " << EngineeringText(f.back() * unitScale_, "Hz")
        << '\n';
    const size_t name = 18, width = 26;
    out << Cell("", name) << Cell("Design", width) << "Measured\n";
    out << Cell("Passband loss", name) << Cell(Printed("%.2f dB", d.passLossDb), width)
        << Printed("%.2f dB", m.passLossDb) << '\n';
    out << Cell("Ripple", name) << Cell(Printed("%.2f dB", d.rippleDb), width) << Printed("%.2f dB", m.rippleDb)
        << '\n';
    out << Cell("-3 dB edges", name) << Cell(edges(d.edge3LowHz, d.edge3HighHz), width)
        << edges(m.edge3LowHz, m.edge3HighHz) << '\n';
    out << Cell("-20 dB edges", name) << Cell(edges(d.edge20LowHz, d.edge20HighHz), width)
        << edges(m.edge20LowHz, m.edge20HighHz) << '\n';
    out << Cell("Return loss", name) << Cell(Printed("%.2f dB", d.returnLossDb), width)
        << Printed("%.2f dB", m.returnLossDb) << '\n';
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

void BenchStage::PrintFit(std::ostream& out) const
{
    out << "\nFit to the measured S21 and S11, " << fit_->points << " points: residual "
        << Printed("%.4f", fit_->residualDb) << " dB rms";
    if (fit_->inductorQ) out << ", inductor Q " << Printed("%.1f", *fit_->inductorQ);
    if (fit_->strayFarads)
        out << ", stray " << EngineeringText(*fit_->strayFarads, "F") << " \u00b1 "
            << EngineeringText(fit_->strayStdErrorFarads, "F") << " at every node";
    out << '\n';
    const size_t width = 13;
    out << Cell("Part", 8) << Cell("Designed", width) << Cell("Fitted", width) << Cell("Change, %", width)
        << Cell("Std err, %", width) << "Confidence\n";
    for (const FittedPart& p : fit_->parts) {
        const std::optional<PartKind> kind = DesignatorKind(p.designator);
        const char* unit = kind ? UnitOf(*kind) : "";
        out << Cell(p.designator, 8) << Cell(EngineeringText(p.designed, unit), width)
            << Cell(EngineeringText(p.fitted, unit), width) << Cell(Printed("%+.3f", p.changePercent), width)
            << Cell(Printed("%.3f", p.stdErrorPercent), width) << ConfidenceName(p.confidence)
            << (p.outsideTolerance ? ", outside tolerance" : "") << '\n';
    }
}

} // namespace corvane
