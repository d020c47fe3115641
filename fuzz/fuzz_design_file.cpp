// SPDX-License-Identifier: Apache-2.0
#include <cstdint>
#include <cstdlib>
#include <string>

#include "export/DesignFile.h"
#include "run/Rules.h"

using namespace corvane;

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

// What the window may be handed: every index an item or a typed text, every text within the
// field's limit and free of control characters.
void RequireApplicable(const DesignFile& design)
{
    for (size_t s = 0; s < design.selectors.size(); ++s)
        Require(design.selectors[s] >= -1 && design.selectors[s] < kSelectorItemCounts[s]);
    for (size_t f = 0; f < design.fields.size(); ++f) {
        const int limit = FieldMaxLength(static_cast<Field>(f));
        Require(limit == 0 || design.fields[f].size() <= static_cast<size_t>(4 * limit));
        for (unsigned char c : design.fields[f]) Require(c >= 0x20 && c != 0x7F);
    }
    const ExactResponseSettings& e = design.exactResponse;
    Require(e.points >= kMinNetworkPoints && e.points <= kMaxNetworkPoints);
    if (e.panel) {
        const DesignPanelSettings& p = *e.panel;
        for (const std::string* text :
             {&p.order, &p.ripple, &p.stopAtt, &p.stopFreq, &p.passband, &p.fmin, &p.fmax, &p.rs, &p.rl}) {
            Require(text->size() <= 4 * static_cast<size_t>(kPanelTextMaxLength));
            for (unsigned char c : *text) Require(c >= 0x20 && c != 0x7F);
        }
    }
}

} // namespace

// Any bytes as a design file: either one DesignFileError, or a design that the window can
// take whole and that survives saving and reopening unchanged.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    DesignFile design;
    try {
        design = ParseDesignFile(text);
    } catch (const DesignFileError&) {
        return 0;
    }
    RequireApplicable(design);
    Require(ParseDesignFile(DesignFileText(design)) == design);
    return 0;
}
