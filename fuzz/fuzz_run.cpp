#include <array>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "filtermath/Failure.h"
#include "filtermath/UGain.h"
#include "run/CalculationRun.h"
#include "run/Rules.h"

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The window's form, filled from the fuzzer's bytes: any text in any field, any item index.
class FuzzForm : public FormPort, public MessagePort, public ResultPort {
public:
    std::array<std::string, 8> texts;
    std::array<int, 4> indices{};
    std::vector<std::string> messages;
    int plots = 0;

    std::string FieldText(Field field) const override { return texts[static_cast<int>(field)]; }
    int ItemIndex(Selector selector) const override { return indices[static_cast<int>(selector)]; }
    std::string SelectorText(Selector selector) const override
    {
        static const std::array<std::array<const char*, 4>, 4> items{{{"LPF", "HPF", "BPF", ""},
                                                                      {"Butterworth", "Chebyshev", "", ""},
                                                                      {"T - Type", "Pi - Type", "", ""},
                                                                      {"Hz", "kHz", "MHz", "GHz"}}};
        const int index = ItemIndex(selector);
        return index < 0 ? "typed" : items[static_cast<int>(selector)][index];
    }
    void SetStepText(const std::string&) override {}
    void SetTitle(const std::string&) override {}
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void PlotResponse() override { ++plots; }
    void FillElementGrid() override {}
};

void CheckFinite(const std::vector<double>& values)
{
    for (double v : values) Require(std::isfinite(v));
}

void CheckState(const DesignState& s)
{
    for (double v : s.Freq) Require(std::isfinite(v));
    for (double v : s.Att) Require(std::isfinite(v));
    CheckFinite(s.GValues);
    CheckFinite(s.ElementValues);
    CheckFinite(s.BandL);
    CheckFinite(s.BandC);
    for (double v : {s.UnitScale, s.Order, s.Ripple, s.PassF, s.Fmin, s.Fmax, s.F0, s.RL, s.FStep})
        Require(std::isfinite(v));
    Require(s.FilterKind >= 0 && s.FilterKind <= 5);
    const size_t n = s.GValues.size();
    Require(s.ElementValues.size() == n && s.ElementUnits.size() == n && s.BandL.size() == n &&
            s.BandC.size() == n);
}

void CheckMessages(const std::vector<std::string>& messages)
{
    static const std::set<std::string> known{kEnterInputsText, kStartStopText, kPassbandZeroText,
                                             kBandEdgeZeroText};
    for (const auto& m : messages) Require(known.count(m) == 1);
}

void CheckFailure(const Failure& failure)
{
    const std::string text = failure.what();
    static const std::set<std::string> arithmetic{kDivisionByZeroText, kInvalidOperationText, kOverflowText};
    const bool isConversion = !text.empty() && text.front() == '\'' && (EndsWith(text, "' is not a valid floating point value") ||
                                                       EndsWith(text, "' is not a valid integer value"));
    Require(arithmetic.count(text) == 1 || isConversion);
}

template <typename Step>
void Guarded(Step step)
{
    try {
        step();
    } catch (const Failure& failure) {
        CheckFailure(failure);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    FuzzForm form;
    for (auto& text : form.texts) text = input.Text();
    for (auto& index : form.indices) index = input.Index(4);

    CalculationRun run(form, form, form);
    Guarded([&] { run.Create(); });
    while (!input.Empty()) {
        switch (input.Index(8)) {
        case 0: Guarded([&] { run.Calculate(); }); break;
        case 1: Guarded([&] { run.Apply(); }); break;
        case 2: Guarded([&] { run.ScaleChange(); }); break;
        case 3: Guarded([&] { run.IsOrderEven(); }); break;
        case 4: Guarded([&] { run.GridRows(); }); break;
        case 5: Guarded([&] { run.UpdateSweep(); }); break;
        case 6: {
            const int selector = (input.Index(4) + 1) & 3;
            form.indices[selector] = input.Index(4);
            run.SelectKind();
            break;
        }
        default: form.texts[(input.Index(8) + 1) & 7] = input.Text(); break;
        }
        CheckState(run.State());
        if (form.plots > 0) {
            Sweep s11{};
            Guarded([&] { ComputeS11(run.State().Att, s11); });
        }
    }
    CheckMessages(form.messages);
    return 0;
}
