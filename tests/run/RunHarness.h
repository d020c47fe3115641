// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <map>
#include <string>
#include <vector>

#include "filtermath/Failure.h"
#include "run/CalculationRun.h"
#include "design/SelectorItems.h"

using namespace corvane;

// The window's form with its start-up texts and selection; records what the run writes back.
class FakeForm : public FormPort {
public:
    std::map<Field, std::string> texts{{Field::N, "3"},      {Field::Ripple, "0"}, {Field::PassF, "10"},
                                       {Field::Fmin, ""},    {Field::Fmax, ""},    {Field::R, "50"},
                                       {Field::FStart, "1"}, {Field::Stop, "101"}};
    // Type, model, topology, unit.
    std::array<int, 4> indices{0, 0, 0, 2};
    std::vector<std::string> stepTexts;
    std::vector<std::string> titles;

    std::string FieldText(Field field) const override { return texts.at(field); }
    int ItemIndex(Selector selector) const override { return indices[static_cast<size_t>(selector)]; }
    std::string SelectorText(Selector selector) const override
    {
        const char* item = SelectorItemText(selector, ItemIndex(selector));
        return item ? item : "typed";
    }
    void SetStepText(const std::string& text) override { stepTexts.push_back(text); }
    void SetTitle(const std::string& text) override { titles.push_back(text); }

    void Select(int type, int model, int topology = 0)
    {
        indices[0] = type;
        indices[1] = model;
        indices[2] = topology;
    }
};

// Messages and display refreshes in the order they happen; "<plot>" and "<grid>" mark the displays.
class Recorder : public MessagePort, public ResultPort {
public:
    std::vector<std::string> events;
    Sweep plottedAtt{};
    Sweep plottedS11{};

    void ShowMessage(const std::string& text) override { events.push_back(text); }
    void PlotResponse(const Sweep&, const Sweep& Att, const Sweep& S11) override
    {
        plottedAtt = Att;
        plottedS11 = S11;
        events.emplace_back("<plot>");
    }
    void FillElementGrid() override { events.emplace_back("<grid>"); }
};

// A window just created with the default texts; events start empty.
struct Harness {
    FakeForm form;
    Recorder recorder;
    CalculationRun run{form, recorder, recorder};

    Harness() { run.Create(); }

    // Selects as the window's change handler would: the kind from the selectors.
    void Select(int type, int model, int topology = 0)
    {
        form.Select(type, model, topology);
        run.SelectKind();
    }

    // Presses a button; a failure that ends the run is recorded as "!" and its text.
    std::vector<std::string> Press(void (CalculationRun::*button)() = &CalculationRun::Calculate)
    {
        recorder.events.clear();
        try {
            (run.*button)();
        } catch (const Failure& failure) {
            recorder.events.push_back(std::string("!") + failure.what());
        }
        return recorder.events;
    }
};

inline const std::vector<std::string> kCompleted{"<plot>", "<grid>"};
