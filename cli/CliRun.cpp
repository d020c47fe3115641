// SPDX-License-Identifier: Apache-2.0
#include "cli/CliRun.h"

#include <ostream>
#include <stdexcept>

#include "analysis/ResonanceFlags.h"
#include "cli/BoardStage.h"
#include "cli/BuildOptions.h"
#include "cli/BenchStage.h"
#include "cli/CliPorts.h"
#include "cli/ClassicFieldChecks.h"
#include "cli/OptimiseStage.h"
#include "cli/NetworkStage.h"
#include "cli/OutputFiles.h"
#include "cli/PartFlagReport.h"
#include "cli/Reports.h"
#include "cli/ToleranceStage.h"
#include "cli/SynthesisStage.h"
#include "filtermath/FrequencyUnits.h"
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
                              const std::vector<PartChoice>& choices, const std::string& title, const DesignBand& band,
                              StreamMessages& messages)
{
    if (!board.FilesAsked()) return true;
    return RunReporting(messages, [&] { WriteBoardFiles(board, built, quality, choices, title, band); });
}

// Warnings about options this run will not use; the fit judges its parts against --tol-l and --tol-c,
// so no warning about them then.
void WarnAboutToleranceOptions(const CliOptions& options, std::ostream& err)
{
    for (const std::string& warning : ToleranceOptionWarnings(options.tolerance, options.board.optimise.Asked())) {
        const bool usedByFit = options.bench.fit && (warning.find("--tol-l ") != std::string::npos ||
                                                     warning.find("--tol-c ") != std::string::npos);
        if (!usedByFit) err << warning << '\n';
    }
    for (const std::string& warning : OptimiseOptionWarnings(options.board.optimise)) err << warning << '\n';
}

// The stages after the classic run, each on the ladder as built, and whether every one completed.
struct LadderStages {
    NetworkStage& network;
    OptimiseStage& optimise;
    ToleranceStage& tolerance;
    BenchStage& bench;
};

bool RunToleranceStage(const CliOptions& options, const BuildRequest& settings, CalculationRun& run, CliForm& form,
                       LadderStages& stages, StreamMessages& messages, std::ostream& err)
{
    const DesignState& state = run.State();
    if (options.board.optimise.Asked())
        return RunReporting(messages, [&] {
            stages.tolerance.RunLadder(*stages.network.BuiltLadder(), settings.analysis.quality, BandOfRun(state),
                                       state.UnitScale, stages.network.Frequencies(state), ToleranceReportingOn(err));
        });
    stages.tolerance.Run(
        state, TopologyForIndex(form.ItemIndex(Selector::Topology)), settings.analysis,
        [&] { return stages.network.Frequencies(state); }, messages, ToleranceReportingOn(err));
    return !stages.tolerance.Failed();
}

bool RunLadderStages(const CliOptions& options, const BuildRequest& settings, CalculationRun& run, CliForm& form,
                     LadderStages& stages, StreamMessages& messages, std::ostream& err)
{
    const DesignState& state = run.State();
    if (stages.optimise.Asked())
        stages.network.SetBuilder([&](const LadderModel& designed) {
            return stages.optimise.Build(designed, BandOfRun(state), state.UnitScale, settings.analysis);
        });
    stages.network.Run(state, form, messages);
    if (!stages.network.BuiltLadder() || stages.network.Failed()) return false;
    const LadderModel& built = *stages.network.BuiltLadder();
    if (!WriteBoardFilesReporting(options.board, built, settings.analysis.quality, stages.optimise.Choices(),
                                  stages.network.Description(form), BandOfRun(state), messages))
        return false;
    if (!RunToleranceStage(options, settings, run, form, stages, messages, err)) return false;
    if (!options.bench.Asked()) return true;
    return RunReporting(messages, [&] {
        stages.bench.SetTolerances(options.tolerance.inductorPercent, options.tolerance.capacitorPercent);
        stages.bench.RunLadder(built, settings.analysis.quality, BandOfRun(state), state.UnitScale);
    });
}

void ReportRun(const CliOptions& options, bool completed, CalculationRun& run, CliForm& form, CliResults& results,
               const PartLimits& limits, LadderStages& stages, std::ostream& out)
{
    std::vector<PartFlag> flags;
    const DesignState& state = run.State();
    const LadderModel* built = stages.network.BuiltLadder();
    if (built && !state.Freq.empty())
        flags = FlagBuiltParts(*built, stages.network.Quality(), BandOfRun(state), state.Freq.back() * state.UnitScale,
                               limits);
    if (options.json) {
        nlohmann::ordered_json json = StateJson(state, form, results);
        stages.network.AddJson(json);
        if (built) AddPartFlagsJson(json, flags);
        stages.optimise.AddJson(json);
        stages.tolerance.AddJson(json);
        stages.bench.AddJson(json);
        out << json.dump() << '\n';
    } else if (completed && !FileTakesStandardOutput(options)) {
        PrintText(state, results, out);
        stages.network.PrintText(out);
        PrintPartFlags(out, flags);
        stages.optimise.PrintText(out, form.SelectorText(Selector::Scale));
        stages.tolerance.PrintText(out, form.SelectorText(Selector::Scale));
        stages.bench.PrintText(out);
    }
}

} // namespace

int RunDesign(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    WarnAboutToleranceOptions(options, err);
    if (NeedsSynthesis(options) && !KeepsClassicRunForTolerance(options)) return RunSynthesisDesign(options, out, err);
    for (const std::string& warning : UnusedOptionWarnings(options)) err << warning << '\n';
    StreamMessages messages(err);
    BuildRequest settings;
    try {
        CheckClassicFields(options);
        // Read before the run so that a setting that cannot be used stops it; read again below for
        // the band the run designs.
        const FrequencyUnit* unit = UnitOfName(options.unit);
        settings = ReadBuildOptions(options, {unit ? unit->scale : 1e6, DesignBand{}, 50.0});
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
    if (results.GridFilled()) {
        const DesignState& state = run.State();
        try {
            settings = ReadBuildOptions(options, {state.UnitScale, BandOfRun(state), state.RL});
        } catch (const Failure& failure) {
            messages.ReportFailure(failure);
            return kExitEndedEarly;
        }
    }
    NetworkStage network(options.network, settings);
    OptimiseStage optimise(options);
    ToleranceStage tolerance(options.tolerance);
    BenchStage bench(options.bench);
    LadderStages stages{network, optimise, tolerance, bench};
    const bool completed = results.GridFilled() && RunLadderStages(options, settings, run, form, stages, messages, err);
    ReportRun(options, completed, run, form, results, settings.limits, stages, out);
    return completed ? kExitCompleted : kExitEndedEarly;
}

} // namespace corvane
