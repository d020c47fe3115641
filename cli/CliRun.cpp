// SPDX-License-Identifier: Apache-2.0
#include "cli/CliRun.h"

#include <ostream>
#include <stdexcept>

#include "cli/BoardStage.h"
#include "cli/BenchStage.h"
#include "cli/CliPorts.h"
#include "cli/OptimiseStage.h"
#include "cli/NetworkStage.h"
#include "cli/OutputFiles.h"
#include "cli/PartFlagReport.h"
#include "cli/Reports.h"
#include "cli/ToleranceStage.h"
#include "cli/SynthesisStage.h"
#include "run/LadderOfRun.h"

namespace corvane {

void ChooseAndApply(CalculationRun& run, CliForm& form, const CliOptions& options)
{
    run.Create();
    form.Choose(options);
    run.SelectKind();
    run.UpdateSweep();
    run.ScaleChange();
    run.Apply();
}

namespace {

// Runs a step, reporting a failure as the stages do; false when it failed.
template <typename Step>
bool RunReporting(StreamMessages& messages, Step step)
{
    try {
        step();
        return true;
    } catch (const Failure& failure) {
        messages.ReportFailure(failure);
    } catch (const std::invalid_argument& error) {
        messages.ShowMessage(error.what());
    }
    return false;
}

bool WriteBoardFilesReporting(const BoardOptions& board, const LadderModel& built, const PartQuality& quality,
                              const std::vector<PartChoice>& choices, const std::string& title,
                              StreamMessages& messages)
{
    if (!board.FilesAsked()) return true;
    return RunReporting(messages, [&] { WriteBoardFiles(board, built, quality, choices, title); });
}

} // namespace

int RunDesign(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    const bool optimising = options.board.optimise.Asked();
    for (const std::string& warning : ToleranceOptionWarnings(options.tolerance, optimising)) {
        // The fit judges its parts against --tol-l and --tol-c: no warning about them then.
        const bool usedByFit = options.bench.fit && (warning.find("--tol-l ") != std::string::npos ||
                                                     warning.find("--tol-c ") != std::string::npos);
        if (!usedByFit) err << warning << '\n';
    }
    for (const std::string& warning : OptimiseOptionWarnings(options.board.optimise)) err << warning << '\n';
    if (NeedsSynthesis(options) && !KeepsClassicRunForTolerance(options)) return RunSynthesisDesign(options, out, err);
    for (const std::string& warning : UnusedOptionWarnings(options)) err << warning << '\n';
    StreamMessages messages(err);
    NetworkSettings settings;
    PartLimits limits;
    try {
        settings = ReadNetworkSettings(options.network);
        limits = ReadPartLimits(options.partLimits);
    } catch (const Failure& failure) {
        messages.ReportFailure(failure);
        return kExitEndedEarly;
    }
    CliForm form;
    CliResults results;
    CalculationRun run(form, messages, results);
    results.Attach(run);
    try {
        ChooseAndApply(run, form, options);
    } catch (const Failure& failure) {
        messages.ReportFailure(failure);
    }
    NetworkStage network(options.network, settings);
    OptimiseStage optimise(options);
    if (optimising)
        network.SetBuilder([&](const LadderModel& designed) {
            return optimise.Build(designed, BandOfRun(run.State()), run.State().UnitScale, settings.analysis);
        });
    if (results.GridFilled()) network.Run(run.State(), form, messages);
    const bool built = network.BuiltLadder() && !network.Failed();
    const bool boardFailed =
        built && !WriteBoardFilesReporting(options.board, *network.BuiltLadder(), settings.analysis.quality,
                                           optimise.Choices(), network.Description(form), messages);
    ToleranceStage tolerance(options.tolerance);
    bool toleranceFailed = false;
    if (built && optimising)
        toleranceFailed = !RunReporting(messages, [&] {
            tolerance.RunLadder(*network.BuiltLadder(), settings.analysis.quality, BandOfRun(run.State()),
                                run.State().UnitScale, network.Frequencies(run.State(), form),
                                ToleranceReportingOn(err));
        });
    else if (results.GridFilled() && !network.Failed())
        tolerance.Run(
            run.State(), TopologyForIndex(form.ItemIndex(Selector::Topology)),
            AnalysisInUnit(options.network, settings, run.State().UnitScale),
            [&] { return network.Frequencies(run.State(), form); }, messages, ToleranceReportingOn(err));
    corvane::BenchStage bench(options.bench);
    bool benchFailed = false;
    if (results.GridFilled() && !network.Failed() && !tolerance.Failed() && options.bench.Asked()) {
        try {
            bench.SetTolerances(options.tolerance.inductorPercent, options.tolerance.capacitorPercent);
            bench.Run(run.State(), TopologyForIndex(form.ItemIndex(Selector::Topology)), settings.analysis);
        } catch (const Failure& failure) {
            messages.ReportFailure(failure);
            benchFailed = true;
        }
    }
    const bool completed = results.GridFilled() && !network.Failed() && !tolerance.Failed() && !toleranceFailed && !boardFailed &&
                           !benchFailed;
    std::vector<PartFlag> flags;
    const DesignState& state = run.State();
    if (network.BuiltLadder() && !state.Freq.empty())
        flags =
            FlagsOfBuiltLadder(*network.BuiltLadder(), BandOfRun(state), state.Freq.back() * state.UnitScale, limits);
    if (options.json) {
        nlohmann::ordered_json json = StateJson(run.State(), form, results);
        network.AddJson(json);
        if (network.BuiltLadder()) AddPartFlagsJson(json, flags);
        optimise.AddJson(json);
        tolerance.AddJson(json);
        bench.AddJson(json);
        out << json.dump() << '\n';
    } else if (completed && !FileTakesStandardOutput(options)) {
        PrintText(run.State(), results, out);
        network.PrintText(out);
        PrintPartFlags(out, flags);
        optimise.PrintText(out);
        tolerance.PrintText(out, form.SelectorText(Selector::Scale));
        bench.PrintText(out);
    }
    return completed ? kExitCompleted : kExitEndedEarly;
}

} // namespace corvane
