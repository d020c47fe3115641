// SPDX-License-Identifier: Apache-2.0
#include "tests/support/NgspiceTwoPort.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "tests/support/Ngspice.h"

std::vector<SimulatedTwoPortPoint> SimulateTwoPort(const std::string& netlist, double RS, double RL, double startHz,
                                                   double stopHz, int points, const std::string& folder)
{
    std::string base = folder;
    while (!base.empty() && base.back() == '/') base.pop_back(); // "//" starts a comment in ngspice
    const std::string data = base + "/ac.dat";
    std::ostringstream deck;
    deck.precision(17);
    deck << netlist.substr(0, netlist.find(".control")) << ".control\nset wr_singlescale\nset numdgt=15\n"
         << "ac lin " << points << ' ' << startHz << ' ' << stopHz << '\n'
         << "wrdata " << data << " vr(out) vi(out) vr(n1) vi(n1)\nquit 0\n.endc\n.end\n";
    const std::string path = base + "/ac.cir";
    std::ofstream(path) << deck.str();
    if (RunNgspice(path).status != 0) return {};
    std::vector<SimulatedTwoPortPoint> result;
    std::ifstream rows(data);
    double f = 0, outRe = 0, outIm = 0, inRe = 0, inIm = 0;
    while (rows >> f >> outRe >> outIm >> inRe >> inIm)
        result.push_back({f, 2.0 * std::complex<double>(inRe, inIm) - 1.0,
                          2.0 * std::sqrt(RS / RL) * std::complex<double>(outRe, outIm)});
    return result;
}
