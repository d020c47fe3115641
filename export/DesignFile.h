// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <map>
#include <optional>
#include <string>

#include "design/FormFields.h"
#include "design/Names.h"
#include "design/PartRange.h"
#include "design/SelectorItems.h"
#include "filtermath/Failure.h"
#include "filtermath/FrequencyUnits.h"
#include "filtermath/Sweep.h"

namespace corvane {

// The design panel of the exact response window: a ladder of any family synthesised in the
// window itself. Numbers are kept as typed.
struct DesignPanelSettings {
    // The choices are keys of their name tables (design/Names.h).
    std::string family = KeyOf(kFamilyNames, Family::Elliptic);
    std::string type = KeyOf(kFilterTypeNames, FilterType::LowPass);
    std::string form = KeyOf(kFormNames, LadderTopology::T);
    std::string orderFrom = KeyOf(kOrderFromNames, OrderFrom::Order);
    std::string order = "5";
    std::string ripple = "0.5"; // dB, Chebyshev and Elliptic
    std::string stopAtt = "40"; // dB: the stopband of Elliptic and InverseChebyshev, the requirement's loss
    std::string stopFreq = "20"; // the requirement's frequency
    std::string passband = "10"; // low-pass and high-pass edge
    std::string fmin = "8"; // band edges: the passband of a band-pass, the stopband of a band-stop
    std::string fmax = "12";
    std::string unit = "MHz"; // a name in kFrequencyUnits
    std::string rs = "50"; // ohms
    std::string rl = "50";
    bool shown = false; // the window shows this design rather than the design window's run
    // Transmission zeros in the design's unit, separated by commas; "" for none. Optional in a
    // file: older ones have none.
    std::string zeros;
    // The peak phase error of an equiripple delay design, degrees; optional in a file.
    std::string delayError = "0.05";
    // How a band-pass is built, a key of kBandPassFormNames, and the coupled forms' resonator
    // inductance in henries as typed ("" for the default); both optional in a file.
    std::string bandPassForm = KeyOf(kBandPassFormNames, BandPassForm::Ladder);
    std::string resonatorL;

    bool operator==(const DesignPanelSettings& other) const;
    bool operator!=(const DesignPanelSettings& other) const { return !(*this == other); }
};

// The Monte Carlo settings of the workbench's tolerance tab, numbers kept as typed. The ladder
// it perturbs is the one built with the exact response's series and Q.
struct ToleranceFileSettings {
    std::string trials = "10000";
    std::string inductorTol = "10"; // percent
    std::string capacitorTol = "5";
    std::string distribution = KeyOf(kDistributionNames, ToleranceDistribution::Uniform); // a key of kDistributionNames
    std::string seed = "1";
    std::string maxPassLoss = "1"; // dB; empty: no passband limit
    std::string stopFreq; // the design's unit; empty with stopAtt: no stopband
    std::string stopAtt; // dB
    std::string curve = "S21"; // the envelope shown: "S21" or "S11"
    // Mask bands beside the shorthands above, "pass 0 30M 0.5; stop 60M 300M 40" (bare frequencies in
    // the design's unit); in the file a list of bands, optional.
    std::string mask;

    bool operator==(const ToleranceFileSettings& other) const;
    bool operator!=(const ToleranceFileSettings& other) const { return !(*this == other); }
};

// The parts as built, numbers kept as typed: the kinds' self-resonances (in the design's unit),
// DC resistance and ESR in ohms, and the board's strays in farads and henries; "0" leaves one out.
struct PartModelFileSettings {
    std::string srfL = "0";
    std::string srfC = "0";
    std::string rdcL = "0";
    std::string esrC = "0";
    std::string nodeC = "0";
    std::string leadL = "0";
    bool absorbStrays = false;
    // Vendors' measured parts: designator -> Touchstone file. Optional in a file; in the file the
    // paths are relative to the design file's folder, here as they open from the working folder.
    std::map<std::string, std::string> partFiles;
    // Parts with a model of their own: designator -> its text ("Q 80, SRF 1.2 GHz"; analysis/PerPartModels.h).
    std::map<std::string, std::string> ownModels;
    std::string eslC = "0"; // optional in a file: the capacitors' series inductance, henries

    bool operator==(const PartModelFileSettings& other) const;
    bool operator!=(const PartModelFileSettings& other) const { return !(*this == other); }
};

// The drive of a transmitter's filter and the parts' ratings, kept as typed: the power available
// from the source (dBm, or watts written with W), the load's VSWR, and the peak voltage a capacitor
// and the peak current an inductor is rated for; an empty power or rating leaves it out.
struct StressFileSettings {
    std::string power;
    std::string vswr = "1";
    std::string capacitorRating; // volts
    std::string inductorRating; // amperes

    bool operator==(const StressFileSettings& other) const;
    bool operator!=(const StressFileSettings& other) const { return !(*this == other); }
};

// Settings of the exact ladder response window, kept with the design. Numbers stay the
// texts the user typed, so that a saved design reopens exactly as it was left.
struct ExactResponseSettings {
    std::string series = KeyOf(kSeriesNames, std::nullopt); // a key of kSeriesNames
    std::string inductorQ = "0"; // 0 is an ideal part
    std::string capacitorQ = "0";
    std::string load = KeyOf(kLoadNames, LoadChoice::Prototype); // a key of kLoadNames
    std::string loadValue = "50"; // ohms, used with load "value"
    // In the design's unit; empty follows the design's band.
    std::string sweepStart;
    std::string sweepStop;
    int points = 1001;
    bool logarithmic = false;
    // Absent while the panel holds its defaults and has not designed: such a file keeps version 1.
    std::optional<DesignPanelSettings> panel;
    // Absent while the tolerance tab holds its defaults: such a file keeps its earlier version.
    std::optional<ToleranceFileSettings> tolerance;
    // Where a part is flagged as hard to build; optional in a file, the defaults where absent.
    PartLimits partLimits;
    // Absent while every part is ideal and the board has no strays: such a file keeps its earlier version.
    std::optional<PartModelFileSettings> partModels;
    // Absent while no power is set and the ratings are empty; a file with it is at least version 4.
    std::optional<StressFileSettings> stress;

    bool operator==(const ExactResponseSettings& other) const;
    bool operator!=(const ExactResponseSettings& other) const { return !(*this == other); }
};

// The panel's typed numbers are short; a longer text in a file is no typed number.
constexpr int kPanelTextMaxLength = 64;
// The mask's bands together, each of them at most kPanelTextMaxLength.
constexpr int kMaskTextMaxLength = 512;

constexpr int kFieldCount = 8; // Field::N .. Field::Stop
constexpr int kSelectorCount = 4; // Selector::Type .. Selector::Scale
// Items of the type, model, topology and unit drop-downs.
constexpr std::array<int, kSelectorCount> kSelectorItemCounts = {
    static_cast<int>(std::tuple_size<decltype(kTypeItems)>::value),
    static_cast<int>(std::tuple_size<decltype(kModelItems)>::value),
    static_cast<int>(std::tuple_size<decltype(kTopologyItems)>::value),
    static_cast<int>(std::tuple_size<decltype(kFrequencyUnits)>::value)};

// Everything of a design that the user typed or chose in the design window.
struct DesignFile {
    std::array<std::string, kFieldCount> fields{"3", "0", "10", "", "", "50", "1", "101"}; // by Field
    // Item index of each drop-down by Selector; -1 when its typed text is no item, and the
    // text is then kept in selectorTexts.
    std::array<int, kSelectorCount> selectors{0, 0, 0, 2};
    std::array<std::string, kSelectorCount> selectorTexts;
    bool logarithmic = false;
    ExactResponseSettings exactResponse;

    std::string& Text(Field field) { return fields[static_cast<size_t>(field)]; }
    const std::string& Text(Field field) const { return fields[static_cast<size_t>(field)]; }
    int& Index(Selector selector) { return selectors[static_cast<size_t>(selector)]; }
    int Index(Selector selector) const { return selectors[static_cast<size_t>(selector)]; }

    bool operator==(const DesignFile& other) const;
    bool operator!=(const DesignFile& other) const { return !(*this == other); }
};

// Version 2 adds the design panel, version 3 the tolerance settings, version 4 the part models,
// strays and the stress inputs; a design without them is still written in the earlier version, and every version is
// read.
constexpr int kDesignFileVersion = 4;
extern const char* const kDesignFileFormat; // "Corvane design"
extern const char* const kDesignFileSuffix; // ".corvane"

// A design file that cannot be read; what() names the file and the problem.
class DesignFileError : public Failure {
public:
    using Failure::Failure;
};

// The file's text: indented JSON, one setting a line.
std::string DesignFileText(const DesignFile& design);

// Checks the whole text before returning anything: JSON, format, version, every member's type
// and range. Throws DesignFileError with the problem alone (no file name).
DesignFile ParseDesignFile(const std::string& text);

// Reads and parses a file; DesignFileError "Cannot open design file '<path>': <problem>". The
// measured parts' paths come back joined to the design file's folder.
DesignFile ReadDesignFile(const std::string& path);
// Writes the file with the safe writer; ExportError when it cannot be written, DesignFileError
// (and nothing written) for a design that would not open again, such as a text too long for its field.
// The measured parts' paths are written relative to the design file's folder.
void WriteDesignFile(const std::string& path, const DesignFile& design);

} // namespace corvane
