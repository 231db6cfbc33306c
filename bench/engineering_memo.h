// A long engineering memo for the benchmarks: assignments, formulas with variables, user
// functions, electrical functions, decibels, E-series values, comments, directives.
#pragma once

#include <random>
#include <string>

namespace rekna::bench {

inline std::string EngineeringMemoText(int count) {
    std::mt19937 rng(11);
    const auto n = [&rng](int lo, int hi) {
        return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng));
    };
    std::string text = "#Par(a, b)=a*b/(a+b)\r\nf=1M\r\nvcc=3.3\r\n";
    for (int i = 3; i < count; ++i) {
        switch (i % 10) {
        case 0: text += "; stage " + n(1, 99); break;
        case 1: text += "r" + n(1, 40) + "=" + n(1, 99) + "." + n(0, 9) + "k"; break;
        case 2: text += "vcc*r" + n(1, 40) + "/(r" + n(1, 40) + "+" + n(1, 9) + "k)"; break;
        case 3: text += "Par(" + n(1, 99) + "k, " + n(1, 99) + "k)"; break;
        case 4: text += "zL(" + n(1, 99) + "u)"; break;
        case 5: text += n(1, 999) + "*" + n(1, 99) + "m+" + n(1, 9); break;
        case 6: text += "dB20(" + n(1, 999) + "/" + n(1, 99) + ")"; break;
        case 7: text += ""; break;
        case 8: text += "E24(" + n(1, 99) + "." + n(0, 9) + "k)"; break;
        default: text += n(1, 255) + " #N16"; break;
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace rekna::bench
