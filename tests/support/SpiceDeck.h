// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <map>
#include <string>
#include <vector>

// The parts of a netlist that the tests look at: two-terminal elements by name, the words of
// the foreach line and the control lines.
struct SpiceElement {
    std::string a;
    std::string b;
    std::string value;
};

struct SpiceDeck {
    std::string title;
    std::map<std::string, SpiceElement> elements;
    std::vector<std::string> frequencies; // words after "foreach f"
    std::vector<std::string> controlLines;
    bool ended = false;
};

SpiceDeck ParseSpiceDeck(const std::string& text);
