// SPDX-License-Identifier: Apache-2.0
#include "cli/CliPorts.h"

#include <ostream>

#include "filtermath/NumberText.h"
#include "run/Rules.h"

namespace corvane {

CliForm::CliForm()
{
    Choose(CliOptions{});
}

void CliForm::Choose(const CliOptions& options)
{
    texts_ = options.texts;
    indices_ = {TypeIndex(options.type), ModelIndex(options.model), TopologyIndex(options.topology),
                UnitIndex(options.unit)};
    selectorTexts_ = {options.type, options.model, TopologyItemText(options.topology), options.unit};
}

std::string CliForm::FieldText(Field field) const
{
    switch (field) {
    case Field::N: return texts_.N;
    case Field::Ripple: return texts_.Ripple;
    case Field::PassF: return texts_.PassF;
    case Field::Fmin: return texts_.Fmin;
    case Field::Fmax: return texts_.Fmax;
    case Field::R: return texts_.R;
    case Field::FStart: return texts_.FStart;
    case Field::Stop: return texts_.Stop;
    }
    return {};
}

int CliForm::ItemIndex(Selector selector) const
{
    return indices_[static_cast<size_t>(selector)];
}

std::string CliForm::SelectorText(Selector selector) const
{
    return selectorTexts_[static_cast<size_t>(selector)];
}

void StreamMessages::ShowMessage(const std::string& text)
{
    out_ << text << '\n';
}

void StreamMessages::ReportFailure(const Failure& failure)
{
    out_ << ErrorReportText(failure.what()) << '\n';
}

void CliResults::PlotResponse(const Sweep&, const Sweep&, const Sweep&)
{
    plotted_ = true;
}

void CliResults::FillElementGrid()
{
    grid_.resize(1);
    for (const auto& row : run_->GridRows()) grid_.push_back(row);
    gridFilled_ = true;
}

std::array<std::string, 3> CliResults::HeaderRow()
{
    return {kGridHeader[0], kGridHeader[1], kGridHeader[2]};
}

} // namespace corvane
