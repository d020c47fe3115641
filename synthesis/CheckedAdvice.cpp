// SPDX-License-Identifier: Apache-2.0
#include "synthesis/CheckedAdvice.h"

#include <cstdio>
#include <exception>
#include <vector>

namespace corvane {

namespace synthesis {

namespace {

thread_local bool quiet = false;

// A way out of a refusal: the changed request and how the advice names it.
struct Alternative {
    DesignRequest request;
    std::string text;
};

Alternative WithForm(const DesignRequest& r)
{
    Alternative a{r, ""};
    a.request.form = r.form == LadderTopology::T ? LadderTopology::Pi : LadderTopology::T;
    a.text = a.request.form == LadderTopology::T ? "the T form" : "the Pi form";
    return a;
}

Alternative WithOrder(const DesignRequest& r, int N)
{
    Alternative a{r, "order " + std::to_string(N)};
    a.request.response.N = N;
    return a;
}

Alternative WithStopAtt(const DesignRequest& r)
{
    Alternative a{r, ""};
    a.request.response.stopAttDb = r.response.stopAttDb + 10.0L;
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", static_cast<double>(a.request.response.stopAttDb));
    a.text = std::string("a stopband attenuation of ") + text + " dB";
    return a;
}

// The alternatives that design here and now, joined; the designs tried give no advice of their
// own, so that one refusal never sets off another search.
std::string CheckedAdvice(const DesignRequest& r, const std::vector<Alternative>& alternatives)
{
    if (quiet) return "";
    const QuietRefusals guard;
    std::vector<std::string> working;
    for (const Alternative& a : alternatives) {
        if (a.request.response.N < 1) continue;
        // The stopband attenuation only matters to the families with finite zeros.
        if (a.request.response.stopAttDb != r.response.stopAttDb && !TraitsOf(r.response.family).stopbandAttenuation)
            continue;
        try {
            Synthesise(a.request);
            working.push_back(a.text);
        } catch (const std::exception&) {
            // no advice to give from this one
        }
    }
    if (working.empty()) return "";
    std::string text = "; " + working[0];
    for (size_t i = 1; i < working.size(); ++i) text += (i + 1 == working.size() ? " or " : ", ") + working[i];
    return text + " realises it";
}

} // namespace

QuietRefusals::QuietRefusals() : wasQuiet(quiet)
{
    quiet = true;
}

QuietRefusals::~QuietRefusals()
{
    quiet = wasQuiet;
}

bool AdviceQuiet()
{
    return quiet;
}

std::string OtherFormAdvice(const DesignRequest& r)
{
    return CheckedAdvice(r, {WithForm(r)});
}

std::string ExpansionAdvice(const DesignRequest& r)
{
    return CheckedAdvice(r, {WithForm(r), WithOrder(r, r.response.N - 1), WithStopAtt(r)});
}

} // namespace synthesis

} // namespace corvane
