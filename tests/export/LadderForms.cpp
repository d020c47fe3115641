// SPDX-License-Identifier: Apache-2.0
#include "tests/export/LadderForms.h"

#include "synthesis/Synthesis.h"

using namespace corvane;
using namespace corvane::synthesis;

namespace {

DesignRequest Request(Family family, FilterType type, int N, LadderTopology form)
{
    DesignRequest r;
    r.response = {family, N, 0.5L, 40.0L};
    r.type = type;
    r.form = form;
    r.passHz = 10e6;
    r.lowHz = 8e6;
    r.highHz = 12e6;
    return r;
}

const char* TypeName(FilterType type)
{
    return type == FilterType::LowPass    ? "LowPass"
           : type == FilterType::HighPass ? "HighPass"
           : type == FilterType::BandPass ? "BandPass"
                                          : "BandStop";
}

} // namespace

std::vector<NamedLadder> EveryLadderForm()
{
    std::vector<NamedLadder> out;
    const auto add = [&out](const std::string& name, const DesignRequest& r) {
        out.push_back({name, Synthesise(r).ladder});
    };
    for (LadderTopology form : {LadderTopology::T, LadderTopology::Pi}) {
        const std::string formName = form == LadderTopology::T ? "T" : "Pi";
        for (FilterType type :
             {FilterType::LowPass, FilterType::HighPass, FilterType::BandPass, FilterType::BandStop}) {
            add(std::string("Chebyshev") + TypeName(type) + formName + "5", Request(Family::Chebyshev, type, 5, form));
            add(std::string("Elliptic") + TypeName(type) + formName + "5", Request(Family::Elliptic, type, 5, form));
            add(std::string("Elliptic") + TypeName(type) + formName + "4", Request(Family::Elliptic, type, 4, form));
        }
        // Chosen zeros: traps beside the passband of a low-pass and a high-pass, on both sides of a band-pass.
        DesignRequest lowPass = Request(Family::Chebyshev, FilterType::LowPass, 7, form);
        lowPass.zerosHz = {20e6, 30e6};
        add("ZerosLowPass" + formName + "7", lowPass);
        DesignRequest highPass = Request(Family::Chebyshev, FilterType::HighPass, 7, form);
        highPass.zerosHz = {5e6};
        add("ZerosHighPass" + formName + "7", highPass);
        DesignRequest bandPass = Request(Family::Chebyshev, FilterType::BandPass, 7, form);
        bandPass.zerosHz = {16e6};
        add("ZerosBandPass" + formName + "7", bandPass);
    }
    for (BandPassForm coupled : {BandPassForm::TopC, BandPassForm::TopL}) {
        DesignRequest r = Request(Family::Chebyshev, FilterType::BandPass, 5, LadderTopology::T);
        r.lowHz = 9.5e6;
        r.highHz = 10.5e6;
        r.bandForm = coupled;
        add(coupled == BandPassForm::TopC ? "TopC5" : "TopL5", r);
    }
    out.push_back({"ShuntCapacitorOnly",
                   {50, 50, {MakeBranch(1, BranchPlace::Shunt, BranchKind::Capacitor, 0, 1e-9)}, {}, {}, {}}});
    return out;
}
