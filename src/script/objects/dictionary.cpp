// Scripting.Dictionary: Add, Item (its value), Key, Exists, Remove, RemoveAll, Keys, Items,
// Count, CompareMode, and For Each over the keys.
#include "script/objects/dictionary.h"

#include <cstring>
#include <unordered_map>

#include "script/runtime/raise.h"
#include "script/values/convert.h"
#include "script/values/text_units.h"

namespace rekna {

namespace {

enum TDictMember : int {
    dmItem = kDefaultMember,
    dmAdd,
    dmExists,
    dmRemove,
    dmRemoveAll,
    dmKeys,
    dmItems,
    dmCount,
    dmCompareMode,
    dmKey,
};

constexpr std::string_view kNames[] = {"item", "add",   "exists", "remove",      "removeall",
                                       "keys", "items", "count",  "comparemode", "key"};

// A key as the dictionary compares it: numbers by value, text by its bytes (folded in text
// mode), objects by identity.
struct TKey {
    char Kind = 0;  // 'e' Empty, 'n' number, 's' text, 'o' object, 'u' Null
    double Number = 0;
    std::string Text;
    const void* Object = nullptr;

    bool operator==(const TKey& o) const noexcept {
        return Kind == o.Kind && Number == o.Number && Text == o.Text && Object == o.Object;
    }
};

struct TKeyHash {
    std::size_t operator()(const TKey& k) const noexcept {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &k.Number, sizeof bits);
        return std::hash<std::string>()(k.Text) ^ std::hash<std::uint64_t>()(bits) ^
               std::hash<const void*>()(k.Object) ^ static_cast<std::size_t>(k.Kind);
    }
};

class TDictionary final : public TScriptObject {
public:
    TDictionary() {
        Account(sizeof(TDictionary));
        TrackCycles();
    }

    int MemberId(std::string_view name) const override { return FindMemberName(name, kNames); }

    TInvokeResult Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                         TVariant& result) override {
        const bool put = (flags & (ifPropertyPut | ifPropertyPutRef)) != 0;
        const auto count = [&](std::size_t n) { return args.size() == n; };
        switch (id) {
        case dmItem: {
            if (put) {
                if (!count(2)) return {seArgCount, {}, false};
                Put(args[0], std::move(args[1]));
                return {};
            }
            if (!count(1)) return {seArgCount, {}, false};
            // Reading a key that is not there adds it with an Empty item.
            const auto it = FIndex.find(KeyOf(args[0]));
            if (it != FIndex.end()) {
                result = FItems[it->second];
            } else {
                Put(args[0], TVariant());
            }
            return {};
        }
        case dmAdd: {
            if (put || !count(2)) return {seArgCount, {}, false};
            if (FIndex.count(KeyOf(args[0])) != 0) return {seKeyExists, {}, false};
            Put(args[0], std::move(args[1]));
            return {};
        }
        case dmExists:
            if (put || !count(1)) return {seArgCount, {}, false};
            result = TVariant::Boolean(FIndex.count(KeyOf(args[0])) != 0);
            return {};
        case dmRemove: {
            if (put || !count(1)) return {seArgCount, {}, false};
            const auto it = FIndex.find(KeyOf(args[0]));
            if (it == FIndex.end()) return {seElementNotFound, {}, false};
            Erase(it->second);
            return {};
        }
        case dmRemoveAll:
            if (put || !count(0)) return {seArgCount, {}, false};
            Clear();
            return {};
        case dmKeys:
        case dmItems: {
            if (put || !count(0)) return {seArgCount, {}, false};
            TScriptArray arr;
            arr.Items.reserve(FLive);
            for (std::size_t i = 0; i < FKeys.size(); ++i) {
                if (FAlive[i]) arr.Items.push_back(id == dmKeys ? FKeys[i] : FItems[i]);
            }
            arr.Upper = {static_cast<std::int32_t>(arr.Items.size()) - 1};
            result = TVariant::Array(std::move(arr));
            return {};
        }
        case dmCount:
            if (put || !count(0)) return {seArgCount, {}, false};
            result = TVariant::Long(static_cast<std::int32_t>(FLive));
            return {};
        case dmCompareMode:
            if (put) {
                if (!count(1)) return {seArgCount, {}, false};
                if (FLive != 0) return {seInvalidCall, {}, false};
                const std::int32_t mode = ToLong(args[0]);
                if (mode < 0) return {seInvalidCall, {}, false};
                FTextMode = mode == 1;
                return {};
            }
            if (!count(0)) return {seArgCount, {}, false};
            result = TVariant::Long(FTextMode ? 1 : 0);
            return {};
        case dmKey: {
            // Key(old) = new: the item keeps its place under the new key.
            if (!put || !count(2)) return {seNoMember, {}, false};
            const auto it = FIndex.find(KeyOf(args[0]));
            if (it == FIndex.end()) return {seElementNotFound, {}, false};
            TKey fresh = KeyOf(args[1]);
            if (FIndex.count(fresh) != 0) return {seKeyExists, {}, false};
            const std::size_t at = it->second;
            FIndex.erase(it);
            FIndex.emplace(std::move(fresh), at);
            FKeys[at] = args[1];
            return {};
        }
        default: return {seNoMember, {}, false};
        }
    }

    std::string TypeName() const override { return "Dictionary"; }
    bool HasDefault() const override { return true; }
    bool Enumerate(std::vector<TVariant>& items) override {
        items.clear();
        for (std::size_t i = 0; i < FKeys.size(); ++i) {
            if (FAlive[i]) items.push_back(FKeys[i]);
        }
        return true;
    }
    const void* MemberKey() const noexcept override { return kNames; }
    void BreakCycles() noexcept override { Clear(); }

private:
    TKey KeyOf(const TVariant& v) const {
        TKey k;
        switch (v.Type()) {
        case TVarType::vtEmpty: k.Kind = 'e'; break;
        case TVarType::vtNull: k.Kind = 'u'; break;
        case TVarType::vtString:
            k.Kind = 's';
            k.Text = FTextMode ? ScriptFoldCase(v.Str()) : v.Str();
            break;
        case TVarType::vtObject: k.Kind = 'o', k.Object = v.ObjPtr(); break;
        case TVarType::vtArray: Raise(seTypeMismatch);
        default: k.Kind = 'n', k.Number = v.AsDouble(); break;
        }
        return k;
    }

    void Put(const TVariant& key, TVariant item) {
        TKey k = KeyOf(key);
        const auto it = FIndex.find(k);
        if (it != FIndex.end()) {
            FItems[it->second] = std::move(item);
            return;
        }
        FIndex.emplace(std::move(k), FKeys.size());
        FKeys.push_back(key);
        FItems.push_back(std::move(item));
        FAlive.push_back(true);
        ++FLive;
        Recharge();
    }

    void Erase(std::size_t at) {
        FIndex.erase(KeyOf(FKeys[at]));
        FAlive[at] = false;
        --FLive;
        TVariant key = std::move(FKeys[at]), item = std::move(FItems[at]);
        FKeys[at] = TVariant();
        FItems[at] = TVariant();
        // Gaps are squeezed out once they are half of the entries.
        if (FLive * 2 < FKeys.size() && FKeys.size() > 16) Compact();
    }

    void Compact() {
        std::size_t to = 0;
        for (std::size_t i = 0; i < FKeys.size(); ++i) {
            if (!FAlive[i]) continue;
            FKeys[to] = std::move(FKeys[i]);
            FItems[to] = std::move(FItems[i]);
            FAlive[to] = true;
            ++to;
        }
        FKeys.resize(to);
        FItems.resize(to);
        FAlive.resize(to);
        FIndex.clear();
        for (std::size_t i = 0; i < to; ++i)
            FIndex.emplace(KeyOf(FKeys[i]), i);
        Recharge();
    }

    void Clear() noexcept {
        std::vector<TVariant> keys, items;
        keys.swap(FKeys);
        items.swap(FItems);
        FAlive.clear();
        FIndex.clear();
        FLive = 0;
        Recharge();
    }

    void Recharge() {
        Account(sizeof(TDictionary) + FKeys.capacity() * 2 * sizeof(TVariant) +
                FIndex.size() * (sizeof(TKey) + 2 * sizeof(void*)));
    }

    std::vector<TVariant> FKeys, FItems;
    std::vector<bool> FAlive;
    std::unordered_map<TKey, std::size_t, TKeyHash> FIndex;
    std::size_t FLive = 0;
    bool FTextMode = false;
};

}  // namespace

TRef<TScriptObject> MakeDictionary() {
    return TRef<TScriptObject>(new TDictionary());
}

}  // namespace rekna
