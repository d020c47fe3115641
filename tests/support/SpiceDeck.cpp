// SPDX-License-Identifier: Apache-2.0
#include "tests/support/SpiceDeck.h"

#include <sstream>

SpiceDeck ParseSpiceDeck(const std::string& text)
{
    SpiceDeck deck;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, deck.title);
    bool control = false;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string first;
        if (!(words >> first) || first[0] == '*') continue;
        if (first == ".control") {
            control = true;
        } else if (first == ".endc") {
            control = false;
        } else if (first == ".end") {
            deck.ended = true;
        } else if (control) {
            deck.controlLines.push_back(line);
            if (first == "foreach") {
                std::string variable, word;
                words >> variable;
                while (words >> word) deck.frequencies.push_back(word);
            }
        } else if (first == "V1") {
            std::string rest;
            std::getline(words, rest);
            deck.elements[first] = {"", "", rest};
        } else {
            SpiceElement element;
            words >> element.a >> element.b >> element.value;
            deck.elements[first] = element;
        }
    }
    return deck;
}
