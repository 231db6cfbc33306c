// The table of the 122 built-in function names, their lookup and the dispatch to the families.
#include <iterator>

#include "engine/function_impl.h"
#include "engine/functions.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

struct TFuncEntry {
    const char* Name;     // lower-case, UTF-8 in the source
    const char* Display;  // the text of the calculation log
    TFuncId Id;
};

// Sorted by the CP932 bytes of the name ("√" is 0x81E3 and comes last).
constexpr TFuncEntry kFunctions[] = {
    {"abs", "Abs", TFuncId::Abs},
    {"acos", "ACos", TFuncId::ACos},
    {"acosd", "ACosD", TFuncId::ACosD},
    {"acosh", "ACosh", TFuncId::ACosh},
    {"acosr", "ACosR", TFuncId::ACosR},
    {"adb", "AdB", TFuncId::AdB},
    {"adb1", "adB1", TFuncId::AdB10},
    {"adb10", "AdB10", TFuncId::AdB10},
    {"adb2", "AdB2", TFuncId::AdB20},
    {"adb20", "AdB20", TFuncId::AdB20},
    {"adbm", "AdBm", TFuncId::AdBm},
    {"adbu", "AdBu", TFuncId::AdBu},
    {"angle", "Angle", TFuncId::Arg},
    {"angled", "AngleD", TFuncId::ArgD},
    {"angler", "AngleR", TFuncId::ArgR},
    {"arccos", "ArcCos", TFuncId::ACos},
    {"arccosd", "ArcCosD", TFuncId::ACosD},
    {"arccosh", "ArcCosh", TFuncId::ACosh},
    {"arccosr", "ArcCosR", TFuncId::ACosR},
    {"arcsin", "ArcSin", TFuncId::ASin},
    {"arcsind", "ArcSinD", TFuncId::ASinD},
    {"arcsinh", "ArcSinh", TFuncId::ASinh},
    {"arcsinr", "ArcSinR", TFuncId::ASinR},
    {"arctan", "ArcTan", TFuncId::ATan},
    {"arctand", "ArcTanD", TFuncId::ATanD},
    {"arctanh", "ArcTanh", TFuncId::ATanh},
    {"arctanr", "ArcTanR", TFuncId::ATanR},
    {"arg", "Arg", TFuncId::Arg},
    {"argd", "ArgD", TFuncId::ArgD},
    {"argr", "ArgR", TFuncId::ArgR},
    {"asin", "ASin", TFuncId::ASin},
    {"asind", "ASinD", TFuncId::ASinD},
    {"asinh", "ASinh", TFuncId::ASinh},
    {"asinr", "ASinR", TFuncId::ASinR},
    {"atan", "ATan", TFuncId::ATan},
    {"atand", "ATanD", TFuncId::ATanD},
    {"atanh", "ATanh", TFuncId::ATanh},
    {"atanr", "ATanR", TFuncId::ATanR},
    {"ayc", "AyC", TFuncId::AzL},
    {"ayl", "AyL", TFuncId::AzC},
    {"ayr", "AyR", TFuncId::YR},
    {"azc", "AzC", TFuncId::AzC},
    {"azl", "AzL", TFuncId::AzL},
    {"azr", "AzR", TFuncId::ZR},
    {"conj", "Conj", TFuncId::Conj},
    {"cos", "Cos", TFuncId::Cos},
    {"cosd", "CosD", TFuncId::CosD},
    {"cosh", "Cosh", TFuncId::Cosh},
    {"cosr", "CosR", TFuncId::CosR},
    {"data", "Data", TFuncId::Data},
    {"db", "dB", TFuncId::DB},
    {"db1", "dB1", TFuncId::DB10},
    {"db10", "dB10", TFuncId::DB10},
    {"db2", "dB2", TFuncId::DB20},
    {"db20", "dB20", TFuncId::DB20},
    {"dbm", "dBm", TFuncId::DBm},
    {"dbu", "dBu", TFuncId::DBu},
    {"deg", "Deg", TFuncId::Deg},
    {"dist", "Dist", TFuncId::Dist},
    {"distp", "DistP", TFuncId::DistP},
    {"e12", "E12", TFuncId::E12},
    {"e24", "E24", TFuncId::E24},
    {"e6", "E6", TFuncId::E6},
    {"end", "End", TFuncId::End},
    {"exp", "Exp", TFuncId::Exp},
    {"frac", "Frac", TFuncId::Frac},
    {"im", "Im", TFuncId::Im},
    {"int", "Int", TFuncId::Int},
    {"j0", "J0", TFuncId::J0},
    {"j1", "J1", TFuncId::J1},
    {"j2", "J2", TFuncId::J2},
    {"j3", "J3", TFuncId::J3},
    {"j4", "J4", TFuncId::J4},
    {"j5", "J5", TFuncId::J5},
    {"j6", "J6", TFuncId::J6},
    {"j7", "J7", TFuncId::J7},
    {"j8", "J8", TFuncId::J8},
    {"j9", "J9", TFuncId::J9},
    {"ln", "Ln", TFuncId::Ln},
    {"log", "Log", TFuncId::Log10},
    {"log10", "Log10", TFuncId::Log10},
    {"log2", "Log2", TFuncId::Log2},
    {"mag", "Abs", TFuncId::Abs},
    {"neg", "Neg", TFuncId::Neg},
    {"not", "Not", TFuncId::Not},
    {"phase", "Phase", TFuncId::Arg},
    {"phased", "PhaseD", TFuncId::ArgD},
    {"phaser", "PhaseR", TFuncId::ArgR},
    {"pol", "Pol", TFuncId::Sign},
    {"pos", "Pos", TFuncId::Pos},
    {"qy", "Qy", TFuncId::Qy},
    {"qz", "Qz", TFuncId::Qz},
    {"rad", "Rad", TFuncId::Rad},
    {"rand", "Rand", TFuncId::Rand},
    {"re", "Re", TFuncId::Re},
    {"round", "Round", TFuncId::Round},
    {"s", "S", TFuncId::S},
    {"sdist", "SDist", TFuncId::SDist},
    {"sdistp", "SDistP", TFuncId::SDistP},
    {"sign", "Sign", TFuncId::Sign},
    {"sin", "Sin", TFuncId::Sin},
    {"sind", "SinD", TFuncId::SinD},
    {"sinh", "Sinh", TFuncId::Sinh},
    {"sinr", "SinR", TFuncId::SinR},
    {"sqr", "Sqr", TFuncId::Sqrt},
    {"sqr3", "Sqr3", TFuncId::Cbrt},
    {"sqrt", "Sqrt", TFuncId::Sqrt},
    {"sqrt3", "Sqrt3", TFuncId::Cbrt},
    {"tan", "Tan", TFuncId::Tan},
    {"tand", "TanD", TFuncId::TanD},
    {"tanh", "Tanh", TFuncId::Tanh},
    {"tanr", "TanR", TFuncId::TanR},
    {"time", "Time", TFuncId::Time},
    {"vswr", "VSWR", TFuncId::Vswr},
    {"yc", "yC", TFuncId::ZL},
    {"yl", "yL", TFuncId::ZC},
    {"yr", "yR", TFuncId::YR},
    {"zc", "zC", TFuncId::ZC},
    {"zero", "Zero", TFuncId::Not},
    {"zl", "zL", TFuncId::ZL},
    {"zr", "zR", TFuncId::ZR},
    {"√", "√", TFuncId::SqrtFloat},
};

static_assert(std::size(kFunctions) == kFunctionCount);

const TNameTable& Table() {
    static const TNameTable table = [] {
        TNameTable t;
        t.Lower.reserve(kFunctionCount);
        t.Display.reserve(kFunctionCount);
        for (const TFuncEntry& e : kFunctions) {
            t.Lower.push_back(SysText(e.Name));
            t.Display.push_back(SysText(e.Display));
        }
        t.BuildIndex();
        return t;
    }();
    return table;
}

[[nodiscard]] inline bool ValidIndex(int index) noexcept {
    return index >= 0 && index < kFunctionCount;
}

}  // namespace

int FindFunction(std::string_view lowerName) noexcept {
    return Table().Find(lowerName);
}

const std::string& FunctionName(int index) noexcept {
    return Table().LowerAt(index);
}

const std::string& FunctionDisplay(int index) noexcept {
    return Table().DisplayAt(index);
}

TCplx ApplyFunction(int index, const TCplx& arg, const TFuncEnv& env) noexcept {
    if (!ValidIndex(index)) return FuncFail(TCalcErr::ceSyntax);
    const TFuncId id = kFunctions[index].Id;
    TCplx r = id < TFuncId::AdB  ? ApplyElementary(id, arg)
              : id < TFuncId::E6 ? ApplyElectric(id, arg, env)
                                 : ApplySpecial(id, arg);
    // Products such as 0 * -1 leave negative zeros behind; a zero part is always +0.
    if (r.Re.IsZero()) r.Re = TFrac();
    if (r.Im.IsZero()) r.Im = TFrac();
    return r;
}

bool IsDataFunction(int index) noexcept {
    return ValidIndex(index) && kFunctions[index].Id == TFuncId::Data;
}

bool IsElectricalFunction(int index) noexcept {
    if (!ValidIndex(index)) return false;
    switch (kFunctions[index].Id) {
    case TFuncId::ZR:
    case TFuncId::ZL:
    case TFuncId::ZC:
    case TFuncId::YR:
    case TFuncId::AzL:
    case TFuncId::AzC: return true;
    default: return false;
    }
}

}  // namespace rekna
