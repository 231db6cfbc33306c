// Checks the transcendental and special functions against the high-precision reference table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/function_impl.h"
#include "engine/functions.h"
#include "engine/statistics.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

// Relative error allowed, and the absolute error allowed where the true value is small.
constexpr long double kRelative = 1e-15L;
constexpr long double kAbsolute = 1e-18L;
constexpr long double kSmall = 1e-3L;

struct TRow {
    int Line = 0;
    std::string Name;
    long double X = 0, Y = 0;
    long double Re = 0, Im = 0;
    bool Complex = false;
};

std::string DataPath() {
    const char* root = std::getenv("REKNA_TEST_DATA");
    return std::string(root != nullptr ? root : "tests") + "/engine/data/function_reference.txt";
}

std::vector<TRow> ReadTable() {
    std::vector<TRow> rows;
    std::ifstream in(DataPath());
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string s; fields >> s;)
            f.push_back(s);
        TRow r;
        r.Line = number;
        r.Name = f.empty() ? "" : f[0];
        const auto num = [](const std::string& s) { return std::strtold(s.c_str(), nullptr); };
        if (f.size() == 3) {
            r.X = num(f[1]);
            r.Re = num(f[2]);
        } else if (f.size() == 5) {
            r.Complex = true;
            r.X = num(f[1]);
            r.Y = num(f[2]);
            r.Re = num(f[3]);
            r.Im = num(f[4]);
        } else {
            ADD_FAILURE() << "line " << number << " has " << f.size() << " fields";
            continue;
        }
        rows.push_back(r);
    }
    return rows;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

TEST(FunctionReference, MatchesHighPrecisionValues) {
    test::TNumberGuard guard;
    NumberSettings.AngleUnit = TAngleUnit::auRad;
    Statistics.Start();
    Statistics.Stop();
    const std::vector<TRow> rows = ReadTable();
    ASSERT_GT(rows.size(), 900U) << "reference table missing at " << DataPath();

    // Per function: the worst relative error where the value is at least 1e-3, and the worst
    // absolute error where it is smaller.
    struct TWorst {
        long double Rel = -1, Abs = -1, SmallRel = -1;
        std::string RelAt, AbsAt;
    };
    std::map<std::string, TWorst> worst;
    const TFuncEnv env;
    for (const TRow& r : rows) {
        CalcErr = TCalcErr::ceNone;
        ClearFpErrors();
        long double re = 0, im = 0;
        if (r.Name == "Phi") {
            re = NormalCdf(r.X);
        } else {
            const int index = FindFunction(Lower(r.Name));
            ASSERT_GE(index, 0) << r.Name;
            const TCplx v = ApplyFunction(index, r.Complex ? TCplx(r.X, r.Y) : TCplx(r.X), env);
            re = ReValue(v);
            im = ImValue(v);
        }
        EXPECT_EQ(CalcErr, TCalcErr::ceNone) << r.Name << " line " << r.Line;
        EXPECT_EQ(FpErrors(), TCalcErr::ceNone) << r.Name << " line " << r.Line;
        const long double size = std::hypot(r.Re, r.Im);
        const long double diff = std::hypot(re - r.Re, im - r.Im);
        const bool small = size < kSmall;
        const long double e = small ? diff : diff / size;
        EXPECT_LE(e, small ? kAbsolute : kRelative)
            << std::setprecision(21) << r.Name << "(" << r.X << ", " << r.Y << ") = " << re << " + "
            << im << "i, want " << r.Re << " + " << r.Im << "i (line " << r.Line << ")";
        TWorst& w = worst[r.Name + (r.Complex ? " (complex)" : "")];
        long double& slot = small ? w.Abs : w.Rel;
        if (small && size != 0) w.SmallRel = std::max(w.SmallRel, diff / size);
        if (e > slot) {
            slot = e;
            std::ostringstream at;
            at << std::setprecision(6) << r.X;
            if (r.Complex) at << (r.Y < 0 ? "" : "+") << r.Y << "i";
            (small ? w.AbsAt : w.RelAt) = at.str();
        }
    }
    std::cout << "worst errors: relative (value >= 1e-3) | absolute (value < 1e-3)"
                 " | relative (0 < value < 1e-3)\n";
    const auto show = [](long double e, const std::string& at) {
        std::ostringstream o;
        if (e < 0) return std::string("-");
        o << std::setprecision(2) << std::scientific << static_cast<double>(e);
        if (!at.empty()) o << " at " << at;
        return o.str();
    };
    for (const auto& [name, w] : worst) {
        std::cout << "  " << std::left << std::setw(16) << name << std::setw(30)
                  << show(w.Rel, w.RelAt) << std::setw(30) << show(w.Abs, w.AbsAt)
                  << show(w.SmallRel, "") << "\n";
    }
}

// The power series and the asymptotic expansion agree with the integral where they take over.
TEST(FunctionReference, BesselPathsAgreeWithTheIntegral) {
    test::TNumberGuard guard;
    for (int n = 0; n <= 9; ++n) {
        for (const long double x : {0.3L, 1.7L, 3.1L, 25.0L, 25.5L, 31.0L, 40.0L}) {
            const long double integral = BesselJIntegral(n, x, 0.0L).Re.Value();
            EXPECT_NEAR(static_cast<double>(BesselJ(n, x) - integral), 0.0, 1e-18)
                << "J" << n << "(" << static_cast<double>(x) << ")";
        }
        for (const TCplx z : {TCplx(1.5L, 0.5L), TCplx(26.0L, -2.0L), TCplx(-3.0L, 24.5L)}) {
            const TCplx a = BesselJ(n, z);
            const TCplx b = BesselJIntegral(n, ReValue(z), ImValue(z));
            const long double scale = std::max(1.0L, CplxAbs(b));
            EXPECT_LE(static_cast<double>(CplxAbs(a - b) / scale), 1e-17)
                << "J" << n << "(" << static_cast<double>(ReValue(z)) << ", "
                << static_cast<double>(ImValue(z)) << ")";
        }
    }
}

}  // namespace
}  // namespace rekna
