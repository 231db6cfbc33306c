// Packed values and shared answer blocks: every value comes back with its bits, every part of a
// block as it went in.
#include "numbers/line_answer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "numbers/packed_value.h"

namespace rekna {
namespace {

// The ten significant bytes of each of the four numbers agree.
bool SameBits(const TCplx& a, const TCplx& b) {
    const long double x[] = {a.Re.Num, a.Re.Den, a.Im.Num, a.Im.Den};
    const long double y[] = {b.Re.Num, b.Re.Den, b.Im.Num, b.Im.Den};
    for (int i = 0; i < 4; ++i) {
        if (std::memcmp(&x[i], &y[i], 10) != 0) return false;
    }
    return true;
}

TEST(PackedValueTest, EveryKindOfValueComesBackWithItsBits) {
    constexpr long double inf = std::numeric_limits<long double>::infinity();
    const long double tiny = std::numeric_limits<long double>::denorm_min();
    const TCplx values[] = {
        TCplx(),
        TCplx(-0.0L),
        TCplx(TFrac(1, 3)),
        TCplx(TFrac(), TFrac(-0.0L)),
        TCplx(TFrac(2), TFrac(3)),
        TCplx(TFrac(1, 3), TFrac(-2, 7)),
        TCplx(inf, -inf),
        TCplx(tiny, 1e4000L),
        TCplx::Blank(),
        TCplx::ErrorMark(),
    };
    for (const TCplx& v : values) {
        unsigned char packed[kPackedValueMax + 1];
        packed[kPackedValueMax] = 0xA5;
        const std::size_t n = PackValue(v, packed);
        EXPECT_LE(n, kPackedValueMax);
        EXPECT_EQ(packed[kPackedValueMax], 0xA5);
        EXPECT_EQ(PackedValueSize(packed[0]), n);
        TCplx back(7);
        EXPECT_EQ(UnpackValue(packed, back), n);
        EXPECT_TRUE(SameBits(back, v));
    }
    unsigned char packed[kPackedValueMax];
    EXPECT_EQ(PackValue(TCplx(5), packed), 11U);  // a whole real number: tag and numerator
}

TEST(LineAnswerTest, BlocksKeepTheirPartsAndAreShared) {
    const std::string log(300, '\x81');
    const TLineAnswerRef a = TLineAnswer::Make("a*2", "6", TCplx(6), log);
    ASSERT_TRUE(a);
    EXPECT_EQ(a.Note(), "a*2");
    EXPECT_EQ(a.Result(), "6");
    EXPECT_EQ(a.Log(), log);
    EXPECT_TRUE(SameBits(a.Value(), TCplx(6)));
    // The lengths (the log's in two bytes), the value and the texts.
    EXPECT_EQ(a->Size(), sizeof(TLineAnswer) + 5 + 11 + 3 + 1 + log.size());

    // Copies share the block and outlive the reference they came from.
    TLineAnswerRef copy;
    {
        const TLineAnswerRef first = TLineAnswer::Make("", "x", TCplx(TFrac(1, 3)), "");
        copy = first;
        EXPECT_EQ(copy.Get(), first.Get());
    }
    EXPECT_EQ(copy.Result(), "x");
    EXPECT_TRUE(SameBits(copy.Value(), TCplx(TFrac(1, 3))));

    // Nothing to keep gives no block; a bare blank value, one block for all.
    EXPECT_FALSE(TLineAnswer::Make("", "", TCplx(), ""));
    EXPECT_FALSE(TLineAnswerRef().Value().IsBlank());
    const TLineAnswerRef blank1 = TLineAnswer::Make("", "", TCplx::Blank(), "");
    const TLineAnswerRef blank2 = TLineAnswer::Make("", "", TCplx::Blank(), "");
    EXPECT_EQ(blank1.Get(), blank2.Get());
    EXPECT_TRUE(blank1.Value().IsBlank());
    // -0 is a value of its own, not the zero of an empty row.
    EXPECT_TRUE(TLineAnswer::Make("", "", TCplx(-0.0L), ""));
}

}  // namespace
}  // namespace rekna
