// SPDX-License-Identifier: Apache-2.0
#include "export/PartFile.h"

#include <cctype>
#include <cmath>
#include <stdexcept>

#include "analysis/MeasuredParts.h"
#include "filtermath/EngineeringText.h"

namespace corvane {

MeasuredPart PartOfTouchstone(const TwoPortData& data, PartKind kind, const std::string& fileName)
{
    const double z1 = data.referenceOhms[0];
    const double z2 = data.referenceOhms[1];
    std::vector<double> frequencyHz;
    std::vector<std::complex<double>> impedance;
    for (const TwoPortPoint& point : data.points) {
        if (point.S21 == std::complex<double>{})
            throw TouchstoneError(fileName + ": S21 is zero at " + EngineeringText(point.frequencyHz, "Hz") +
                                  "; a part in series passes some signal.");
        frequencyHz.push_back(point.frequencyHz);
        impedance.push_back(2.0 * std::sqrt(z1 * z2) / point.S21 - z1 - z2);
    }
    try {
        return MakeMeasuredPart(kind, fileName, std::move(frequencyHz), std::move(impedance));
    } catch (const MeasuredPartError& error) {
        throw TouchstoneError(fileName + ": " + error.what() + ".");
    }
}

std::shared_ptr<const MeasuredPart> ReadPartFile(const std::string& path, PartKind kind)
{
    return std::make_shared<const MeasuredPart>(PartOfTouchstone(ReadTouchstone(path), kind, path));
}

PartKind KindOfDesignator(const std::string& designator)
{
    const std::optional<PartKind> kind = DesignatorKind(designator);
    if (kind == PartKind::Inductor || kind == PartKind::Capacitor) return *kind;
    throw std::invalid_argument("\"" + designator + "\" is no inductor or capacitor designator (L2, C3, L103)");
}

} // namespace corvane
