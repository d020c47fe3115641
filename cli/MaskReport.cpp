// SPDX-License-Identifier: Apache-2.0
#include "cli/MaskReport.h"

namespace corvane {

nlohmann::ordered_json MaskBandsJson(const std::vector<MaskBand>& bands, double scale, const std::vector<int>& points)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (std::size_t b = 0; b < bands.size(); ++b) {
        nlohmann::ordered_json band = {{"Band", MaskKindWord(bands[b].kind)},
                                       {"From", bands[b].lowHz / scale},
                                       {"To", bands[b].highHz / scale},
                                       {"Limit", bands[b].value}};
        if (b < points.size()) band["Points"] = points[b];
        list.push_back(band);
    }
    return list;
}

} // namespace corvane
