// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <string>
#include <utility>

#include "analysis/NetworkResponse.h"
#include "analysis/PartStress.h"
#include "design/DesignBand.h"
#include "design/PartRange.h"
#include "export/DesignFile.h"

namespace corvane {

// The ladder as built, as the user typed it in any front end: the command line's options, the
// workbench's fields and a design file's build sections hold the same texts, and ReadBuild is the
// one place they are converted, so that a setting means one thing and gets one message everywhere.
struct BuildTexts {
    std::string series = "none"; // a key of kSeriesNames
    std::string inductorQ = "0"; // 0 is an ideal part; "80 @ 100 MHz" grows with the root of f
    std::string capacitorQ = "0";
    PartModelFileSettings models; // the kinds' models, the board's strays, parts' own models and files
    std::string load = "prototype"; // a key of kLoadNames
    std::string loadValue = "50"; // ohms, with load "value"
    std::string sweepStart; // the design's unit; empty follows the design's band
    std::string sweepStop;
    std::string points; // empty: the front end's own sweep (the classic run's on the command line)
    bool logarithmic = false;
    std::string partLimits; // empty: the defaults
    StressFileSettings stress; // an empty power asks for no stress

    bool operator==(const BuildTexts& other) const;
    bool operator!=(const BuildTexts& other) const { return !(*this == other); }
};

// The names the user knows each setting by in one front end; every message starts with one.
struct BuildNames {
    const char* series;
    const char* inductorQ;
    const char* capacitorQ;
    const char* srfL;
    const char* srfC;
    const char* rdcL;
    const char* esrC;
    const char* eslC;
    const char* nodeC;
    const char* leadL;
    const char* partModel; // followed by the designator
    const char* load;
    const char* sweepStart;
    const char* sweepStop;
    const char* points;
    const char* partLimits;
    const char* power;
    const char* vswr;
    const char* ratingC;
    const char* ratingL;
};
extern const BuildNames kCommandLineNames;
extern const BuildNames kWorkbenchNames; // the fields' own accessible names

// What the texts are read against: the shown design's unit, its band and its source resistance.
struct BuildContext {
    double unitScale = 1e6;
    DesignBand band; // hertz
    double sourceOhms = 50.0;
    int ownPoints = 0; // the points that empty points texts stand for; 0: the front end's own sweep
};

struct BuildRequest {
    AnalysisOptions analysis; // series, Q, load (none: the load the design needs), part models, strays
    std::optional<SweepPlan> plan; // none: the front end's own sweep (empty points, ownPoints 0)
    PartLimits limits;
    std::optional<StressDrive> stress; // none while the power is empty
    StressRatings ratings;
};

// The request the texts give, or InputError naming the first setting that cannot be used (a
// vendor's file that cannot be read raises TouchstoneError naming the file).
BuildRequest ReadBuild(const BuildTexts& texts, const BuildNames& names, const BuildContext& context);

// The sweep that empty start and stop texts stand for, in the design's unit: a decade or so
// around the design's band, so that its edges and the first of its stopband are in view.
std::pair<double, double> SweepAroundBand(const DesignBand& band, double unitScale, bool logarithmic);

// A design file's build sections as texts, and the texts kept in a file's sections, so that what
// is saved reads back as what was typed. Points that do not read keep the file's.
BuildTexts BuildTextsOfFile(const ExactResponseSettings& file);
void KeepBuildTexts(const BuildTexts& texts, ExactResponseSettings& file);

} // namespace corvane
