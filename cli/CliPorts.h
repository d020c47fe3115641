// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "filtermath/Failure.h"
#include "run/CalculationRun.h"

namespace corvane {

// The window's form over plain texts and item indices.
class CliForm : public FormPort {
public:
    // The window as it opens: default selection and texts.
    CliForm();
    // What the user chose, as the option values name it.
    void Choose(const CliOptions& options);

    std::string FieldText(Field field) const override;
    int ItemIndex(Selector selector) const override;
    std::string SelectorText(Selector selector) const override;
    void SetStepText(const std::string& text) override { stepText_ = text; }
    void SetTitle(const std::string& text) override { title_ = text; }

    const std::string& StepText() const { return stepText_; }
    const std::string& Title() const { return title_; }

private:
    FieldTexts texts_;
    std::array<int, 4> indices_{};
    std::array<std::string, 4> selectorTexts_;
    std::string stepText_;
    std::string title_;
};

// Messages and failure reports, one line each, in the order they happen.
class StreamMessages : public MessagePort {
public:
    explicit StreamMessages(std::ostream& out) : out_(out) {}
    void ShowMessage(const std::string& text) override;
    // The general error report's text for a failure that ended the run.
    void ReportFailure(const Failure& failure);

private:
    std::ostream& out_;
};

// What the window's chart and grid would show after a completed run.
class CliResults : public ResultPort {
public:
    void Attach(const CalculationRun& run) { run_ = &run; }
    void PlotResponse(const Sweep& Freq, const Sweep& Att, const Sweep& S11) override;
    void FillElementGrid() override;

    // Whether the run got as far as the chart, so that the state's S11 belongs to it.
    bool Plotted() const { return plotted_; }
    bool GridFilled() const { return gridFilled_; }
    // Header row first, then the data rows 1..N.
    const std::vector<std::array<std::string, 3>>& Grid() const { return grid_; }

private:
    const CalculationRun* run_ = nullptr;
    bool plotted_ = false;
    bool gridFilled_ = false;
    std::vector<std::array<std::string, 3>> grid_{{HeaderRow()}};

    static std::array<std::string, 3> HeaderRow();
};

} // namespace corvane
