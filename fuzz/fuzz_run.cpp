// SPDX-License-Identifier: Apache-2.0
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "filtermath/Failure.h"
#include "filtermath/UGain.h"
#include "run/CalculationRun.h"
#include "run/Rules.h"
#include "design/SelectorItems.h"

using namespace corvane;

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

bool IsFinite(const Sweep& values)
{
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

bool IsFinite(const std::vector<double>& values)
{
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

constexpr std::array<int, 4> kItemCounts{3, 2, 2, 4};

// The window's form, filled from the fuzzer's bytes: any text in any field, any item index.
// Plotting and filling the grid do what the window does with the state, and check it.
class FuzzForm : public FormPort, public MessagePort, public ResultPort {
public:
    std::array<std::string, 8> texts;
    std::array<int, 4> indices{};
    std::vector<std::string> messages;
    const CalculationRun* run = nullptr;

    std::string FieldText(Field field) const override { return texts[static_cast<size_t>(field)]; }
    int ItemIndex(Selector selector) const override { return indices[static_cast<size_t>(selector)]; }
    std::string SelectorText(Selector selector) const override
    {
        const char* item = SelectorItemText(selector, ItemIndex(selector));
        return item ? item : "typed";
    }
    void SetStepText(const std::string& text) override
    {
        static const std::regex step(R"(-?\d+\.\d{3}|-?\d\.\d{3}e[+-]\d{2,3})");
        Require(std::regex_match(text, step));
    }
    void SetTitle(const std::string&) override {}
    void ShowMessage(const std::string& text) override { messages.push_back(text); }

    void PlotResponse(const Sweep& Freq, const Sweep& Att, const Sweep& S11) override
    {
        Require(IsFinite(Freq) && IsFinite(Att) && IsFinite(S11));
        AttenuationNeedsFloor(Att);
    }

    void FillElementGrid() override
    {
        static const std::regex value(R"(-?\d\.\d{2}e[+-]\d{2,3})");
        const auto rows = run->GridRows();
        for (size_t r = 0; r < rows.size(); ++r) {
            Require(rows[r][0] == "G" + std::to_string(r + 1));
            int filled = 0;
            for (size_t c = 1; c < 3; ++c) {
                if (rows[r][c].empty()) continue;
                Require(std::regex_match(rows[r][c], value));
                ++filled;
            }
            Require(filled >= 1);
        }
    }

    // A conversion failure names one of the texts that the run converts.
    bool NamesFieldText(const char* message) const
    {
        for (const std::string& text : texts)
            for (const char* suffix : {"' is not a valid floating point value", "' is not a valid integer value"})
                if (std::strcmp(message, ("'" + text + suffix).c_str()) == 0) return true;
        return false;
    }
};

void CheckState(const DesignState& s)
{
    Require(IsFinite(s.Freq) && IsFinite(s.Att) && IsFinite(s.S11));
    Require(IsFinite(s.GValues) && IsFinite(s.ElementValues) && IsFinite(s.BandL) && IsFinite(s.BandC));
    for (double v : {s.UnitScale, s.Order, s.Ripple, s.PassF, s.Fmin, s.Fmax, s.F0, s.RL, s.FStep})
        Require(std::isfinite(v));
    Require(s.FilterKind >= 0 && s.FilterKind <= 5);
    const size_t n = s.GValues.size();
    Require(s.ElementValues.size() == n && s.ElementUnits.size() == n && s.BandL.size() == n && s.BandC.size() == n);
    Require(n == 0 || (n >= 2 && n <= 101));
    for (const std::string& unit : s.ElementUnits) Require(unit.empty() || unit == "H" || unit == "F" || unit == "Ohm");
}

void CheckMessages(const std::vector<std::string>& messages)
{
    static const std::set<std::string> known{kEnterInputsText,  kStartStopText,        kEdgesPositiveText,
                                             kEdgeOrderText,    kPassbandPositiveText, kResistancePositiveText,
                                             kPassbandZeroText, kBandEdgeZeroText};
    for (const auto& m : messages) Require(known.count(m) == 1);
}

void CheckFailure(const FuzzForm& form, const Failure& failure)
{
    static const std::set<std::string> arithmetic{kDivisionByZeroText, kInvalidOperationText, kOverflowText};
    if (dynamic_cast<const ArithmeticError*>(&failure)) {
        Require(arithmetic.count(failure.what()) == 1);
        return;
    }
    Require(dynamic_cast<const ConvertError*>(&failure) != nullptr);
    Require(form.NamesFieldText(failure.what()));
}

// Only the system's own failures may leave a handler; anything else escapes and ends the fuzzer.
template <typename Step>
void Guarded(const FuzzForm& form, Step step)
{
    try {
        step();
    } catch (const Failure& failure) {
        CheckFailure(form, failure);
    }
}

int SelectorIndex(FuzzInput& input, size_t selector)
{
    return input.Index(kItemCounts[selector]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    FuzzForm form;
    for (auto& text : form.texts) text = input.Text();
    for (size_t s = 0; s < form.indices.size(); ++s) form.indices[s] = SelectorIndex(input, s);

    CalculationRun run(form, form, form);
    form.run = &run;
    Guarded(form, [&] { run.Create(); });
    while (!input.Empty()) {
        switch (input.Index(8)) {
        case 0: Guarded(form, [&] { run.Calculate(); }); break;
        case 1: Guarded(form, [&] { run.Apply(); }); break;
        case 2: Guarded(form, [&] { run.ScaleChange(); }); break;
        case 3: Guarded(form, [&] { run.IsOrderEven(); }); break;
        case 4: Guarded(form, [&] { form.FillElementGrid(); }); break;
        case 5: Guarded(form, [&] { run.UpdateSweep(); }); break;
        case 6: {
            const size_t selector = static_cast<size_t>(input.Index(4) + 1) & 3;
            form.indices[selector] = SelectorIndex(input, selector);
            run.SelectKind();
            break;
        }
        default: form.texts[static_cast<size_t>(input.Index(8) + 1) & 7] = input.Text(); break;
        }
        CheckState(run.State());
    }
    CheckMessages(form.messages);
    return 0;
}
