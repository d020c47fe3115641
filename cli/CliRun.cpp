// SPDX-License-Identifier: Apache-2.0
#include "cli/CliRun.h"

#include <ostream>

#include "cli/BoardStage.h"
#include "cli/BenchStage.h"
#include "cli/CliPorts.h"
#include "cli/NetworkStage.h"
#include "cli/OutputFiles.h"
#include "cli/PartFlagReport.h"
#include "cli/Reports.h"
#include "cli/ToleranceStage.h"
#include "cli/SynthesisStage.h"
#include "run/LadderOfRun.h"

void ChooseAndApply(CalculationRun& run, CliForm& form, const CliOptions& options)
{
    run.Create();
    form.Choose(options);
    run.SelectKind();
    run.UpdateSweep();
    run.ScaleChange();
    run.Apply();
}

int RunDesign(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    for (const std::string& warning : ToleranceOptionWarnings(options.tolerance)) {
        // The fit judges its parts against --tol-l and --tol-c: no warning about them then.
        const bool usedByFit = options.bench.fit && (warning.find("--tol-l ") != std::string::npos ||
                                                     warning.find("--tol-c ") != std::string::npos);
        if (!usedByFit) err << warning << '\n';
    }
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
    if (results.GridFilled()) network.Run(run.State(), form, messages);
    bool boardFailed = false;
    if (network.BuiltLadder() && !network.Failed() && options.board.FilesAsked()) {
        try {
            WriteBoardFiles(options.board, *network.BuiltLadder(), settings.analysis.quality, {},
                            network.Description(form));
        } catch (const Failure& failure) {
            messages.ReportFailure(failure);
            boardFailed = true;
        }
    }
    ToleranceStage tolerance(options.tolerance);
    if (results.GridFilled() && !network.Failed())
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
    const bool completed = results.GridFilled() && !network.Failed() && !tolerance.Failed() && !boardFailed &&
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
        tolerance.AddJson(json);
        bench.AddJson(json);
        out << json.dump() << '\n';
    } else if (completed && !FileTakesStandardOutput(options)) {
        PrintText(run.State(), results, out);
        network.PrintText(out);
        PrintPartFlags(out, flags);
        tolerance.PrintText(out, form.SelectorText(Selector::Scale));
        bench.PrintText(out);
    }
    return completed ? kExitCompleted : kExitEndedEarly;
}
