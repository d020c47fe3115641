// SPDX-License-Identifier: Apache-2.0
#include "cli/BuildOptions.h"

#include "analysis/InputRules.h"

namespace corvane {

namespace {

bool TypedHere(const CliOptions& options, const char* option)
{
    return options.given.count(option) != 0 && options.fromFile.count(option) == 0;
}

} // namespace

BuildTexts BuildTextsOf(const CliOptions& options)
{
    const NetworkOptions& n = options.network;
    BuildTexts t;
    t.series = n.series.empty() ? "none" : n.series;
    t.inductorQ = n.QL;
    t.capacitorQ = n.QC;
    t.models = {n.srfL, n.srfC, n.rdcL, n.esrC, n.nodeC, n.leadL, n.absorbStrays, {}, {}, n.eslC};
    for (const auto& [designator, file] : ReadPartArguments(n.partFiles)) t.models.partFiles[designator] = file;
    for (const auto& [designator, text] : ReadPartArguments(n.partModels, "--part-model"))
        t.models.ownModels[designator] = text;
    if (!n.load.empty()) {
        t.load = "value";
        t.loadValue = n.load;
    }
    // The classic fields' start and stop that a design file sets are the classic run's sweep; the
    // analysis sweeps as the file's workbench does.
    t.sweepStart = TypedHere(options, "--start") ? options.texts.FStart : options.fileSweepStart;
    t.sweepStop = TypedHere(options, "--stop") ? options.texts.Stop : options.fileSweepStop;
    t.points = n.points;
    t.logarithmic = n.logSweep;
    t.partLimits = options.partLimits;
    t.stress.power = n.powerDbm;
    if (!n.powerW.empty()) t.stress.power = PowerTextInWatts(n.powerW) ? n.powerW : n.powerW + " W";
    t.stress.vswr = n.vswr;
    t.stress.capacitorRating = n.ratingC;
    t.stress.inductorRating = n.ratingL;
    return t;
}

BuildNames CommandLineNamesOf(const NetworkOptions& options)
{
    BuildNames names = kCommandLineNames;
    names.power = options.powerW.empty() ? "--power-dbm" : "--power-w";
    return names;
}

BuildRequest ReadBuildOptions(const CliOptions& options, const BuildContext& context)
{
    return ReadBuild(BuildTextsOf(options), CommandLineNamesOf(options.network), context);
}

} // namespace corvane
