// The graph's lists: growth, checked access, extremes, sorting and the binary form.
#include <gtest/gtest.h>

#include <cmath>

#include "graph/graph_lists.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

TEST(GraphListsTest, CapacityGrowsBySixteenThenByAQuarter) {
    const struct {
        int Adds;
        int Capacity;
    } rows[] = {{1, 16}, {16, 16}, {17, 32}, {64, 64}, {65, 80}, {81, 100}, {101, 125}};
    for (const auto& row : rows) {
        TGraphIntegerList list;
        for (int i = 0; i < row.Adds; ++i)
            list.Add(i);
        EXPECT_EQ(list.Capacity(), row.Capacity) << row.Adds;
    }
}

TEST(GraphListsTest, BadIndexAndCapacityAreRefusedWithTheirMessages) {
    TGraphValueList list;
    list.Add(1);
    list.Add(2);
    list.Add(3);
    EXPECT_FALSE(list.Delete(5));
    EXPECT_EQ(list.LastError(), SysText("リストのインデックスが範囲を超えています") + " (5)");
    EXPECT_EQ(list.Get(-1), 0);
    EXPECT_EQ(list.LastError(), SysText("リストのインデックスが範囲を超えています") + " (-1)");
    EXPECT_FALSE(list.SetCapacity(2));
    EXPECT_EQ(list.LastError(), SysText("リストの容量が超えました") + " (2)");
    EXPECT_FALSE(list.SetCapacity(kMaxListCapacity + 1));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_TRUE(list.Delete(0));
    EXPECT_EQ(list[0], 2);
}

TEST(GraphListsTest, MinMaxFollowsTheScale) {
    const long double values[] = {3, NAN, -2, 0, 5, -7};
    const struct {
        TAxisScale Scale;
        long double Min;
        int MinIndex;
        long double Max;
        int MaxIndex;
    } rows[] = {{TAxisScale::asNormal, -7, 5, 5, 4},
                {TAxisScale::asLog, 0, 3, 5, 4},
                {TAxisScale::asAbsLog, 2, 2, 7, 5}};
    TGraphValueList list;
    for (long double v : values)
        list.Add(v);
    for (const auto& row : rows) {
        list.UpdateMinMax(row.Scale);
        EXPECT_EQ(list.Min(), row.Min);
        EXPECT_EQ(list.MinIndex(), row.MinIndex);
        EXPECT_EQ(list.Max(), row.Max);
        EXPECT_EQ(list.MaxIndex(), row.MaxIndex);
    }
    TGraphValueList ties;
    for (long double v : {2.0L, 1.0L, 1.0L, 2.0L})
        ties.Add(v);
    ties.UpdateMinMax(TAxisScale::asNormal);
    EXPECT_EQ(ties.MinIndex(), 1);
    EXPECT_EQ(ties.MaxIndex(), 0);
    TGraphValueList none;
    none.Add(NAN);
    none.UpdateMinMax(TAxisScale::asNormal);
    EXPECT_TRUE(std::isnan(none.Min()));
}

TEST(GraphListsTest, SortIsAscendingWithGapsLast) {
    TGraphValueList list;
    for (long double v : {5.0L, static_cast<long double>(NAN), -1.0L, 3.0L, -1.0L})
        list.Add(v);
    list.Sort();
    EXPECT_EQ(list[0], -1);
    EXPECT_EQ(list[1], -1);
    EXPECT_EQ(list[2], 3);
    EXPECT_EQ(list[3], 5);
    EXPECT_TRUE(std::isnan(list[4]));
}

TEST(GraphListsTest, BinaryFormRoundTripsAndRefusesShortData) {
    TGraphValueList values;
    values.Add(1.25L);
    values.Add(-3);
    std::string data;
    WriteList(data, values);
    EXPECT_EQ(data.size(), 4u + 2 * 10);
    TGraphValueList back;
    std::size_t pos = 0;
    ASSERT_TRUE(ReadList(data, pos, back));
    EXPECT_EQ(pos, data.size());
    EXPECT_EQ(back[0], 1.25L);
    EXPECT_EQ(back.Min(), -3);

    const struct {
        std::string Bytes;
        const char* What;
    } bad[] = {{std::string("\x05\0\0\0", 4) + std::string(20, '\0'), "count beyond the bytes"},
               {std::string("\xff\xff\xff\xff", 4), "negative count"},
               {std::string("\xff\xff\xff\x7f", 4), "huge count"},
               {std::string("\x01\0", 2), "short count"}};
    for (const auto& row : bad) {
        TGraphValueList list;
        list.Add(9);
        std::size_t at = 0;
        EXPECT_FALSE(ReadList(row.Bytes, at, list)) << row.What;
        EXPECT_EQ(at, 0u) << row.What;
        EXPECT_EQ(list.Count(), 1) << row.What;
    }

    TGraphPointList points;
    points.Add({-4, 7});
    TGraphIntegerList ints;
    ints.Add(-9);
    std::string more;
    WriteList(more, points);
    WriteList(more, ints);
    TGraphPointList p2;
    TGraphIntegerList i2;
    pos = 0;
    ASSERT_TRUE(ReadList(more, pos, p2));
    ASSERT_TRUE(ReadList(more, pos, i2));
    EXPECT_EQ(p2[0], (TGraphPoint{-4, 7}));
    EXPECT_EQ(i2[0], -9);
}

}  // namespace
}  // namespace rekna
