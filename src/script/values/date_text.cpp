// The script's dates: days since 1899-12-30 with the time as the fraction, their parts, their
// text and the reading of date text.
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "platform/cp932.h"
#include "script/runtime/raise.h"
#include "script/values/convert.h"
#include "script/values/text_scan.h"

namespace rekna {

namespace {

std::string Two(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, long long m, long long d) noexcept {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr long long kEpochOffset = 25569;    // 1970-01-01 is day 25569 of the script's dates
constexpr double kFirstDate = -657434;       // 0100-01-01
constexpr double kLastDate = 2958465.99999;  // 9999-12-31 23:59:59

}  // namespace

double DateSerial(int year, int month, int day) noexcept {
    long long y = year, m = month - 1;
    y += m >= 0 ? m / 12 : (m - 11) / 12;
    m = ((m % 12) + 12) % 12;
    return static_cast<double>(DaysFromCivil(y, m + 1, 1) + kEpochOffset + day - 1);
}

double TimeSerial(int hour, int minute, int second) noexcept {
    return (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

TDateParts SplitDate(double date) noexcept {
    TDateParts p{};
    if (!std::isfinite(date) || std::fabs(date) > 3e6) date = 0;
    long long days = static_cast<long long>(std::floor(date));
    double frac = date - static_cast<double>(days);
    if (date < 0 && frac != 0) {  // negative dates count the time forward from the day's start
        days = static_cast<long long>(std::ceil(date));
        frac = static_cast<double>(days) - date;
    }
    long long secs = static_cast<long long>(std::llround(frac * 86400.0));
    if (secs >= 86400) {
        secs -= 86400;
        ++days;
    }
    p.Hour = static_cast<int>(secs / 3600);
    p.Minute = static_cast<int>(secs / 60 % 60);
    p.Second = static_cast<int>(secs % 60);
    const long long z = days - kEpochOffset + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    p.Year = static_cast<int>(yoe + era * 400 + (m <= 2));
    p.Month = static_cast<int>(m);
    p.Day = static_cast<int>(d);
    p.Weekday = static_cast<int>(((days - 1) % 7 + 7) % 7) + 1;  // day 1 (1899-12-31) is a Sunday
    return p;
}

std::string DateText(double date) {
    if (!(date >= kFirstDate && date <= kLastDate)) return DoubleText(date);
    const TDateParts p = SplitDate(date);
    const std::string day = std::to_string(p.Year) + "/" + Two(p.Month) + "/" + Two(p.Day);
    const std::string time = std::to_string(p.Hour) + ":" + Two(p.Minute) + ":" + Two(p.Second);
    const bool noTime = p.Hour == 0 && p.Minute == 0 && p.Second == 0;
    if (date >= 0 && date < 1) return time;
    return noTime ? day : day + " " + time;
}

namespace {

struct TDateToken {
    char Kind = 0;  // 'n' number, 'w' word, or the separator itself
    int Value = 0;
    int Digits = 0;
    std::string Word;
};

// The Japanese date and time marks as the separators they stand for.
std::string Normalised(std::string_view text) {
    struct TMark {
        const char* Utf8;
        const char* As;
    };
    static const TMark kMarks[] = {{"年", "/"}, {"月", "/"}, {"日", " "},      {"時", ":"},
                                   {"分", ":"}, {"秒", " "}, {"午前", " am "}, {"午後", " pm "}};
    static const std::vector<std::pair<std::string, std::string>> marks = [] {
        std::vector<std::pair<std::string, std::string>> m;
        for (const TMark& k : kMarks)
            m.emplace_back(Utf8ToCp932(k.Utf8), k.As);
        return m;
    }();
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [mark, as] : marks) {
            if (text.compare(i, mark.size(), mark) == 0) {
                out += as;
                i += mark.size();
                replaced = true;
                break;
            }
        }
        if (replaced) continue;
        // Any other double-byte character makes the text no date.
        if (CharLength(text, i) == 2) return "?";
        const char c = text[i++];
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    return out;
}

int MonthOfName(std::string_view w) {
    static const char* const kMonths[] = {"january",   "february", "march",    "april",
                                          "may",       "june",     "july",     "august",
                                          "september", "october",  "november", "december"};
    if (w.size() < 3) return 0;
    for (int m = 0; m < 12; ++m) {
        const std::string_view name = kMonths[m];
        if (w.size() <= name.size() && name.substr(0, w.size()) == w) return m + 1;
    }
    return 0;
}

int FullYear(int year, int digits) {
    if (digits > 2) return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

}  // namespace

bool ParseDateText(std::string_view text, double& out) {
    const std::string t = Normalised(ScanTrimmed(text));
    std::vector<TDateToken> tokens;
    for (std::size_t i = 0; i < t.size();) {
        const char c = t[i];
        TDateToken tk;
        if (IsScanDigit(c)) {
            tk.Kind = 'n';
            while (i < t.size() && IsScanDigit(t[i])) {
                if (tk.Digits < 6) tk.Value = tk.Value * 10 + (t[i] - '0');
                ++tk.Digits;
                ++i;
            }
            if (tk.Digits > 6) return false;
        } else if (c >= 'a' && c <= 'z') {
            tk.Kind = 'w';
            while (i < t.size() && t[i] >= 'a' && t[i] <= 'z')
                tk.Word += t[i++];
        } else if (c == '/' || c == '-' || c == '.' || c == ',' || c == ':' || IsScanSpace(c)) {
            tk.Kind = IsScanSpace(c) ? ' ' : c;
            ++i;
        } else {
            return false;
        }
        tokens.push_back(std::move(tk));
    }
    std::vector<const TDateToken*> dateNums, timeNums;
    int monthName = 0, half = 0;  // half: 1 am, 2 pm
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const TDateToken& tk = tokens[k];
        if (tk.Kind == 'w') {
            if (tk.Word == "am" || tk.Word == "a") {
                half = 1;
            } else if (tk.Word == "pm" || tk.Word == "p") {
                half = 2;
            } else if (const int m = MonthOfName(tk.Word); m != 0 && monthName == 0) {
                monthName = m;
            } else {
                return false;
            }
            continue;
        }
        if (tk.Kind != 'n') continue;
        const bool time = (k + 1 < tokens.size() && tokens[k + 1].Kind == ':') ||
                          (k > 0 && tokens[k - 1].Kind == ':');
        (time ? timeNums : dateNums).push_back(&tk);
    }
    if (half != 0 && timeNums.empty() && dateNums.size() == 1 && monthName == 0) {
        timeNums.push_back(dateNums.back());
        dateNums.clear();
    }
    if (dateNums.empty() && timeNums.empty()) return false;
    if (dateNums.size() > 3 || timeNums.size() > 3) return false;
    double result = 0;
    if (!dateNums.empty() || monthName != 0) {
        int y = 0, m = 0, d = 1;
        const auto n = [&](std::size_t i) { return dateNums[i]->Value; };
        const auto digits = [&](std::size_t i) { return dateNums[i]->Digits; };
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        const int thisYear = local.tm_year + 1900;
        if (monthName != 0) {
            m = monthName;
            if (dateNums.size() > 2) return false;
            if (dateNums.empty()) return false;
            if (dateNums.size() == 2) {
                d = n(0);
                y = FullYear(n(1), digits(1));
            } else if (digits(0) > 2 || n(0) > 31) {
                y = FullYear(n(0), digits(0));
            } else {
                d = n(0);
                y = thisYear;
            }
        } else if (dateNums.size() == 3) {
            if (digits(0) > 2 || n(0) > 31) {
                y = FullYear(n(0), digits(0)), m = n(1), d = n(2);
            } else {
                m = n(0), d = n(1), y = FullYear(n(2), digits(2));
            }
        } else if (dateNums.size() == 2) {
            if (digits(0) > 2 || n(0) > 31) {
                y = FullYear(n(0), digits(0)), m = n(1);
            } else if (digits(1) > 2 || n(1) > 31) {
                m = n(0), y = FullYear(n(1), digits(1));
            } else {
                m = n(0), d = n(1), y = thisYear;
            }
        } else {
            return false;
        }
        if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1 || d > MonthDays(y, m)) {
            return false;
        }
        result = DateSerial(y, m, d);
    }
    if (!timeNums.empty()) {
        int h = timeNums[0]->Value;
        const int mi = timeNums.size() > 1 ? timeNums[1]->Value : 0;
        const int s = timeNums.size() > 2 ? timeNums[2]->Value : 0;
        if (half != 0) {
            if (h < 1 || h > 12) return false;
            h = h % 12 + (half == 2 ? 12 : 0);
        }
        if (h > 23 || mi > 59 || s > 59) return false;
        const double time = TimeSerial(h, mi, s);
        result = result < 0 ? result - time : result + time;
    } else if (half != 0) {
        return false;
    }
    out = result;
    return true;
}

double ToDate(const TVariant& v) {
    double d = 0;
    if (!v.IsString() || !ParseDateText(v.Str(), d)) d = ToDouble(v);
    if (!IsDateInRange(d)) Raise(seInvalidCall);
    return d;
}

bool IsDateInRange(double d) noexcept {
    return d >= kFirstDate && d <= kLastDate;
}

int MonthDays(int year, int month) noexcept {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0))) return 29;
    return kDays[(month - 1) % 12];
}

}  // namespace rekna
