// Tests of the blocked row array against a plain vector: lookups, logical-line walks and the
// widest row, through random insertions, deletions and changes, one by one and in runs.
#include "editor/store/row_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace rekna {
namespace {

struct TModelRow {
    std::int32_t Width;
    bool Continued;
};

TUMemoStringItem Item(std::int32_t width, bool continued) {
    TUMemoStringItem item;
    item.Text = std::to_string(width);
    item.Width = width;
    item.Continued = continued ? 1 : 0;
    return item;
}

std::int32_t NaiveFirst(const std::vector<TModelRow>& m, std::int32_t row) {
    while (row > 0 && m[static_cast<std::size_t>(row - 1)].Continued)
        --row;
    return row;
}

std::int32_t NaiveLast(const std::vector<TModelRow>& m, std::int32_t row) {
    while (row + 1 < static_cast<std::int32_t>(m.size()) &&
           m[static_cast<std::size_t>(row)].Continued)
        ++row;
    return row;
}

TEST(RowStore, AgreesWithAVectorThroughRandomEdits) {
    std::mt19937 rng(11);
    TRowStore store;
    std::vector<TModelRow> model;
    auto pick = [&](std::int32_t n) {
        return std::uniform_int_distribution<std::int32_t>(0, n - 1)(rng);
    };
    for (int step = 0; step < 20000; ++step) {
        const auto count = static_cast<std::int32_t>(model.size());
        const int op = pick(12);
        // Long runs of continued rows, so that whole blocks are skipped by the line walks.
        const bool continued = (step / 3000) % 2 == 1 ? pick(50) != 0 : pick(3) == 0;
        const std::int32_t width = pick(100) == 0 ? 500 + pick(100) : pick(80);
        if (op < 4 || count == 0) {
            const std::int32_t row = pick(count + 1);
            store.Insert(row, Item(width, continued));
            model.insert(model.begin() + row, {width, continued});
        } else if (op < 5) {
            store.PushBack(Item(width, continued));
            model.push_back({width, continued});
        } else if (op < 8 && count > 0) {
            const std::int32_t row = pick(count);
            store.Erase(row);
            model.erase(model.begin() + row);
        } else if (op == 10 && count > 0) {
            const std::int32_t row = pick(count);
            const std::int32_t n = std::min(count - row, pick(3) == 0 ? pick(300) : pick(8));
            store.EraseRange(row, n);
            model.erase(model.begin() + row, model.begin() + row + n);
        } else if (op == 11) {
            const std::int32_t row = pick(count + 1);
            std::vector<TUMemoStringItem> items;
            std::vector<TModelRow> rows;
            for (std::int32_t n = pick(3) == 0 ? pick(300) : pick(8); n > 0; --n) {
                const std::int32_t w = pick(90);
                const bool c = pick(4) == 0;
                items.push_back(Item(w, c));
                rows.push_back({w, c});
            }
            store.InsertRange(row, std::move(items));
            model.insert(model.begin() + row, rows.begin(), rows.end());
        } else if (count > 0) {
            const std::int32_t row = pick(count);
            store.SetText(row, std::to_string(width), width, false);
            store.SetContinued(row, continued);
            model[static_cast<std::size_t>(row)] = {width, continued};
        }
        ASSERT_EQ(store.Count(), static_cast<std::int32_t>(model.size()));
        if (step % 97 == 0) {
            ASSERT_EQ(store.CheckBlocks(), "") << step;
            std::int32_t widest = 0;
            for (const auto& r : model)
                widest = std::max(widest, r.Width);
            ASSERT_EQ(store.MaxWidth(), widest) << step;
        }
        if (!model.empty()) {
            const std::int32_t row = pick(static_cast<std::int32_t>(model.size()));
            ASSERT_EQ(store.At(row).Width, model[static_cast<std::size_t>(row)].Width) << step;
            ASSERT_EQ(store.FirstRowOfLine(row), NaiveFirst(model, row)) << step;
            ASSERT_EQ(store.LastRowOfLine(row), NaiveLast(model, row)) << step;
        }
    }
    EXPECT_GT(store.BlockCount(), 1u);
}

TEST(RowStore, DeletingKeepsBlocksInProportion) {
    TRowStore store;
    for (int i = 0; i < 100000; ++i)
        store.PushBack(Item(i % 70, false));
    const std::size_t full = store.BlockCount();
    EXPECT_EQ(full, (100000 + TRowStore::kBlockRows - 1) / TRowStore::kBlockRows);
    for (int i = store.Count() - 1; i >= 0; i -= 2)
        store.Erase(i);
    for (int i = store.Count() - 1; i >= 0; i -= 2)
        store.Erase(i);
    EXPECT_LE(store.BlockCount(), full / 2 + 1);
    EXPECT_EQ(store.CheckBlocks(), "");
    store.Clear();
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.MaxWidth(), 0);
}

}  // namespace
}  // namespace rekna
