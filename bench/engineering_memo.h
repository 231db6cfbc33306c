// Long generated memos for the benchmarks: engineering memos with assignments, formulas with
// variables, user functions, electrical functions, decibels, E-series values, comments and
// directives, in three mixes.
#pragma once

#include <random>
#include <string>

namespace rekna::bench {

// Assignments read by the lines after them, formulas, comments and empty lines.
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

// One engineering line that reads no variable of the memo (only F and the user function Par of
// the first lines); kind 0 to 8.
inline std::string IndependentLine(std::mt19937& rng, int kind) {
    const auto n = [&rng](int lo, int hi) {
        return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng));
    };
    switch (kind) {
    case 0: return "Par(" + n(1, 99) + "k, " + n(1, 99) + "k)";
    case 1: return "zL(" + n(1, 99) + "u)";
    case 2: return n(1, 999) + "*" + n(1, 99) + "m+" + n(1, 9);
    case 3: return "dB20(" + n(1, 999) + "/" + n(1, 99) + ")";
    case 4: return "E24(" + n(1, 99) + "." + n(0, 9) + "k)";
    case 5: return n(1, 255) + " #N16";
    case 6: return "sqrt(" + n(2, 999) + ")*" + n(1, 9) + "." + n(0, 9) + "n";
    case 7: return "zC(" + n(1, 999) + "p)";
    default: return n(1, 99) + "k*" + n(1, 99) + "u";
    }
}

// Lines that read no other line (the user function and F aside), with comments and empty lines
// among them: a key typed into one changes that line alone.
inline std::string IndependentMemoText(int count) {
    std::mt19937 rng(13);
    std::string text = "#Par(a, b)=a*b/(a+b)\r\nf=1M\r\n";
    for (int i = 2; i < count; ++i) {
        const int k = i % 12;
        if (k == 0) {
            text += "; block " + std::to_string(i / 12);
        } else if (k != 6) {
            text += IndependentLine(rng, k % 9);
        }
        text += "\r\n";
    }
    return text;
}

// r1=4.7k on the first lines, read by a fifth of the lines, and 50 variables v1..v50 each
// assigned again and again along the memo and read by the lines after their assignments; the
// rest are independent lines, comments and empty lines.
inline std::string VariableMemoText(int count) {
    std::mt19937 rng(17);
    const auto n = [&rng](int lo, int hi) {
        return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng));
    };
    std::string text = "#Par(a, b)=a*b/(a+b)\r\nf=1M\r\nr1=4.7k\r\n";
    for (int i = 3; i < count; ++i) {
        switch (i % 10) {
        case 0: text += "; part " + std::to_string(i / 10); break;
        case 1:
            text += "v" + std::to_string(i / 10 % 50 + 1) + "=" + n(1, 99) + "." + n(0, 9);
            break;
        case 2:
        case 7: text += "r1*" + n(1, 99) + "/(r1+" + n(1, 99) + "k)"; break;
        case 3: text += "v" + n(1, 50) + "*" + n(1, 9) + "m"; break;
        case 5: text += ""; break;
        default: text += IndependentLine(rng, i % 9); break;
        }
        text += "\r\n";
    }
    return text;
}

// Engineering lines that all calculate: no comment, no empty line; the assignments are read by
// the lines after them.
inline std::string CalculatingMemoText(int count) {
    std::mt19937 rng(19);
    const auto n = [&rng](int lo, int hi) {
        return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng));
    };
    std::string text = "f=1M\r\nvcc=3.3\r\n";
    for (int i = 2; i < count; ++i) {
        switch (i % 8) {
        case 0: text += "r" + n(1, 40) + "=" + n(1, 99) + "." + n(0, 9) + "k"; break;
        case 1: text += "vcc*r" + n(1, 40) + "/(r" + n(1, 40) + "+" + n(1, 9) + "k)"; break;
        default: text += IndependentLine(rng, i % 8 == 2 ? 8 : i % 8); break;
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace rekna::bench
