// SPDX-License-Identifier: Apache-2.0
#include "export/TouchstoneReader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

#include "filtermath/FrequencyUnits.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace {

enum class PairFormat { RealImaginary, MagnitudeAngle, DecibelAngle };

struct Token {
    std::string text;
    size_t line;
};

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s)
{
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> Words(const std::string& s)
{
    std::istringstream in(s);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// The port count a version 1 file states by its extension, .s<N>p; 0 when the name has none.
int PortsOfExtension(const std::string& fileName)
{
    const std::string name = Lower(fileName);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.size() < dot + 4 || name[dot + 1] != 's' || name.back() != 'p') return 0;
    const std::string digits = name.substr(dot + 2, name.size() - dot - 3);
    if (digits.empty() || digits.size() > 3 || !std::all_of(digits.begin(), digits.end(), ::isdigit)) return 0;
    return std::stoi(digits);
}

class Reader {
public:
    Reader(const std::string& text, const std::string& fileName) : fileName_(fileName) { Scan(text); }

    TwoPortData Read()
    {
        if (version2_ && !networkData_) Fail(lastLine_, "no [Network Data] section");
        ReadPoints();
        if (data_.points.empty()) Fail(lastLine_, "no network data");
        if (expectedCount_ >= 0 && data_.points.size() != static_cast<size_t>(expectedCount_))
            Fail(lastLine_, "[Number of Frequencies] is " + std::to_string(expectedCount_) + " but the file holds " +
                                std::to_string(data_.points.size()));
        return data_;
    }

private:
    [[noreturn]] void Fail(size_t line, const std::string& problem) const
    {
        throw TouchstoneError(fileName_ + ", line " + std::to_string(line) + ": " + problem + ".");
    }

    void Scan(const std::string& text)
    {
        std::istringstream in(text);
        size_t number = 0;
        bool first = true;
        for (std::string raw; std::getline(in, raw);) {
            ++number;
            const std::string line = Trim(raw.substr(0, raw.find('!')));
            if (line.empty()) continue;
            lastLine_ = number;
            if (line[0] == '[') {
                Keyword(line, number, first);
            } else if (line[0] == '#') {
                if (!optionSeen_) Option(line, number); // later option lines are ignored
            } else if (!inInformation_ && !afterNetwork_) {
                if (version2_ && !networkData_ && continueReference_) {
                    AddReferences(Words(line), number);
                    continue;
                }
                if (version2_ && !networkData_) Fail(number, "data before [Network Data]");
                if (!optionSeen_ && !version2_) optionSeen_ = true; // a file without option line: the defaults
                for (const std::string& w : Words(line)) tokens_.push_back({w, number});
            }
            first = false;
        }
        RequireReferences();
        if (!version2_) {
            const int ports = PortsOfExtension(fileName_);
            if (ports != 0 && ports != 2)
                Fail(1, "the file holds " + std::to_string(ports) + (ports == 1 ? " port" : " ports") +
                            "; a two-port file (.s2p) is needed");
        }
    }

    void Keyword(const std::string& line, size_t number, bool first)
    {
        const size_t close = line.find(']');
        if (close == std::string::npos) Fail(number, "a keyword without its closing ]");
        const std::string key = Lower(line.substr(1, close - 1));
        const std::vector<std::string> args = Words(line.substr(close + 1));
        RequireReferences();
        continueReference_ = false;
        if (key == "version") {
            if (!first) Fail(number, "[Version] must come first");
            if (args.empty() || args[0].rfind("2.", 0) != 0) Fail(number, "only versions 1 and 2 are read");
            version2_ = true;
        } else if (!version2_ && key != "end") {
            Fail(number, "a keyword in a version 1 file");
        } else if (key == "number of ports") {
            if (args.size() != 1 || args[0] != "2")
                Fail(number, "the file holds " + (args.empty() ? "no" : args[0]) + " ports; a two-port file is needed");
        } else if (key == "two-port data order") {
            if (args.size() != 1 || (args[0] != "12_21" && args[0] != "21_12"))
                Fail(number, "[Two-Port Data Order] must be 12_21 or 21_12");
            order12First_ = args[0] == "12_21";
        } else if (key == "number of frequencies") {
            const double count = Number({args.empty() ? "" : args[0], number});
            if (!(count >= 1.0 && count <= 1e8) || count != std::floor(count))
                Fail(number, "[Number of Frequencies] must be a whole number from 1 to 100000000");
            expectedCount_ = static_cast<int>(count);
        } else if (key == "reference") {
            data_.referenceOhms = {0.0, 0.0};
            referenceCount_ = 0;
            referenceLine_ = number;
            AddReferences(args, number);
            continueReference_ = referenceCount_ < 2;
        } else if (key == "matrix format") {
            if (args.size() != 1 || Lower(args[0]) != "full") Fail(number, "only the Full matrix format is read");
        } else if (key == "network data") {
            if (!optionSeen_) Fail(number, "no option line before [Network Data]");
            networkData_ = true;
        } else if (key == "noise data" || key == "end") {
            afterNetwork_ = true;
        } else if (key == "begin information") {
            inInformation_ = true;
        } else if (key == "end information") {
            inInformation_ = false;
        } else if (key == "mixed-mode order") {
            Fail(number, "mixed-mode data is not read");
        }
    }

    // A [Reference] names one resistance per port before anything else follows it.
    void RequireReferences() const
    {
        if (continueReference_ && referenceCount_ < 2)
            Fail(referenceLine_,
                 "[Reference] holds " + std::to_string(referenceCount_) + " of the two ports' reference resistances");
    }

    void AddReferences(const std::vector<std::string>& args, size_t number)
    {
        for (const std::string& a : args) {
            if (referenceCount_ == 2) Fail(number, "more than two reference resistances");
            const double r = Number({a, number});
            if (!(r > 0.0)) Fail(number, "a reference resistance must be positive");
            data_.referenceOhms[referenceCount_++] = r;
        }
        continueReference_ = referenceCount_ < 2;
    }

    void Option(const std::string& line, size_t number)
    {
        optionSeen_ = true;
        const std::vector<std::string> words = Words(line.substr(1));
        for (size_t i = 0; i < words.size(); ++i) {
            const std::string w = Lower(words[i]);
            if (const FrequencyUnit* unit = UnitOfName(w)) {
                unitHz_ = unit->scale;
            } else if (w == "s") {
            } else if (w == "y" || w == "z" || w == "g" || w == "h") {
                Fail(number, words[i] + "-parameters are not read; the file must hold S-parameters");
            } else if (w == "ri" || w == "ma" || w == "db") {
                format_ = w == "ri"   ? PairFormat::RealImaginary
                          : w == "ma" ? PairFormat::MagnitudeAngle
                                      : PairFormat::DecibelAngle;
            } else if (w == "r" && i + 1 < words.size()) {
                const double r = Number({words[++i], number});
                if (!(r > 0.0)) Fail(number, "the reference resistance must be positive");
                data_.referenceOhms = {r, r};
            } else {
                Fail(number, "\"" + words[i] + "\" in the option line");
            }
        }
    }

    double Number(const Token& token) const
    {
        const char* begin = token.text.data();
        const char* end = begin + token.text.size();
        if (begin != end && *begin == '+') ++begin;
        double value = 0.0;
        const auto [stop, error] = std::from_chars(begin, end, value);
        if (begin == end || error != std::errc() || stop != end || !std::isfinite(value))
            Fail(token.line, "\"" + token.text + "\" is no number");
        return value;
    }

    std::complex<double> Pair(size_t at) const
    {
        const double a = Number(tokens_[at]);
        const double b = Number(tokens_[at + 1]);
        if (format_ == PairFormat::RealImaginary) return {a, b};
        const double magnitude = format_ == PairFormat::MagnitudeAngle ? a : std::pow(10.0, a / 20.0);
        // Far beyond any measurement, and past it the polar form overflows to infinity.
        if (!(std::abs(magnitude) < 1e100)) Fail(tokens_[at].line, "a magnitude out of range");
        return std::polar(magnitude, b * kPi<double> / 180.0);
    }

    void ReadPoints()
    {
        constexpr size_t kValues = 9; // f and four complex pairs
        for (size_t at = 0; at < tokens_.size(); at += kValues) {
            const double f = Number(tokens_[at]) * unitHz_;
            // Noise data follows the network data from a frequency no higher than the last one.
            if (!version2_ && !data_.points.empty() && f <= data_.points.back().frequencyHz) break;
            if (tokens_.size() - at < kValues)
                Fail(tokens_.back().line, "the data ends within a frequency point (9 numbers each)");
            if (f < 0.0) Fail(tokens_[at].line, "a negative frequency");
            if (!data_.points.empty() && f <= data_.points.back().frequencyHz)
                Fail(tokens_[at].line, "the frequencies must ascend");
            TwoPortPoint p{f, Pair(at + 1), {}, {}, Pair(at + 7)};
            (order12First_ ? p.S12 : p.S21) = Pair(at + 3);
            (order12First_ ? p.S21 : p.S12) = Pair(at + 5);
            data_.points.push_back(p);
        }
    }

    std::string fileName_;
    TwoPortData data_;
    std::vector<Token> tokens_;
    double unitHz_ = 1e9; // the defaults of the option line: GHz, S, MA, R 50
    PairFormat format_ = PairFormat::MagnitudeAngle;
    bool version2_ = false;
    bool optionSeen_ = false;
    bool networkData_ = false;
    bool afterNetwork_ = false;
    bool inInformation_ = false;
    bool continueReference_ = false;
    size_t referenceLine_ = 0;
    bool order12First_ = false; // version 1 two-port data is 11 21 12 22
    int referenceCount_ = 0;
    int expectedCount_ = -1;
    size_t lastLine_ = 1;
};

} // namespace

TwoPortData ParseTouchstone(const std::string& text, const std::string& fileName)
{
    return Reader(text, fileName).Read();
}

TwoPortData ReadTouchstone(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw TouchstoneError(path + ": the file cannot be opened.");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw TouchstoneError(path + ": the file cannot be read.");
    return ParseTouchstone(text.str(), path);
}

} // namespace corvane
