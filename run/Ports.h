// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

#include "design/FormFields.h"
#include "filtermath/Messages.h"
#include "filtermath/Sweep.h"

namespace corvane {

// What the run reads from a front end, and the two texts it writes back.
class FormPort {
public:
    virtual ~FormPort() = default;
    virtual std::string FieldText(Field field) const = 0;
    // Item index of a drop-down; -1 when its text is no item.
    virtual int ItemIndex(Selector selector) const = 0;
    virtual std::string SelectorText(Selector selector) const = 0;
    virtual void SetStepText(const std::string& text) = 0;
    virtual void SetTitle(const std::string& text) = 0;
};

// The displays that a completed run refreshes.
class ResultPort {
public:
    virtual ~ResultPort() = default;
    // The curves of the run, all over the same sweep: attenuation and input reflection in dB.
    virtual void PlotResponse(const Sweep& Freq, const Sweep& Att, const Sweep& S11) = 0;
    virtual void FillElementGrid() = 0;
};

} // namespace corvane
