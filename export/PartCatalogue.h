// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "design/PartChoice.h"
#include "filtermath/Failure.h"

namespace corvane {

// A parts catalogue: the parts a ladder may be built from, one per CSV row.
//
// The first line that is not blank and not a comment ('#' first) names the columns, in any order,
// case ignored; "kind" and "value" are needed, the others may be left out:
//   kind          L or C
//   value         henries or farads, as an engineer writes them: 4.7n, 4.7 nH, 100p, 100 pF
//   tolerance     percent, above 0 and below 100: 5, 5%
//   q, q_freq     the quality factor and the frequency it holds at (both or neither): 60, 100M
//   srf           self-resonant frequency: 1.2G
//   resistance    a capacitor's ESR or an inductor's DC resistance, ohms: 0.15
//   package       free text, as are manufacturer and part_number
//   manufacturer
//   part_number
//   touchstone    measured S-parameters of the part: a file path relative to the catalogue's folder
// Fields may be quoted as RFC 4180 has it ("Maker, Inc"), within one line; an empty field is an
// absent figure. A row with a fault raises CatalogueError "<file>, line <n>, column <m> (<name>):
// <problem>", and nothing of that catalogue is used.
struct PartCatalogue {
    std::string path;
    std::vector<CataloguePart> parts; // in file order
};

class CatalogueError : public Failure {
public:
    using Failure::Failure;
};

constexpr std::size_t kMaxCatalogueBytes = 16u << 20;

// path names the file in messages and is the folder touchstone paths start from; the files they
// name must exist.
PartCatalogue ParseCatalogue(const std::string& text, const std::string& path);
// Parses the file and reads the measured part of every row that names a touchstone file.
PartCatalogue ReadCatalogue(const std::string& path);
// Reads the touchstone file of each part that names one: the part measured in series between the
// two ports. A file that cannot be read raises CatalogueError naming the catalogue's line.
void ReadMeasuredParts(PartCatalogue& catalogue);

// The parts of one kind, ascending in value.
std::vector<CataloguePart> PartsOfKind(const PartCatalogue& catalogue, PartKind kind);

} // namespace corvane
