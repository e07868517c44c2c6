#include "app/records/keypositions.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace {

// A table by id may be this much larger than the keyset before a sorted list is cheaper.
constexpr unsigned long long kSlack = 1000000;

// The distance from `low` up to `high`, exact even for ids at both ends of the range.
unsigned long long span(long long low, long long high)
{
    return (unsigned long long)high - (unsigned long long)low;
}

} // namespace

bool KeyPositions::denseFits(long long low, long long high, size_t count) const
{
    return span(low, high) <= 4 * (unsigned long long)count + kSlack;
}

void KeyPositions::build(const std::vector<long long>& keyset)
{
    clear();
    if (keyset.empty())
        return;
    const auto [low, high] = std::minmax_element(keyset.begin(), keyset.end());
    dense_ = denseFits(*low, *high, keyset.size());
    if (dense_) {
        base_ = *low;
        byId_.assign(size_t(span(base_, *high)) + 1, -1);
        for (size_t i = 0; i < keyset.size(); ++i)
            byId_[size_t(span(base_, keyset[i]))] = int(i);
        return;
    }
    sorted_.reserve(keyset.size());
    for (size_t i = 0; i < keyset.size(); ++i)
        sorted_.emplace_back(keyset[i], int(i));
    std::sort(sorted_.begin(), sorted_.end());
}

void KeyPositions::clear()
{
    dense_ = true;
    base_ = 0;
    std::vector<int>().swap(byId_);
    std::vector<std::pair<long long, int>>().swap(sorted_);
}

int KeyPositions::find(long long id) const
{
    if (dense_) {
        if (id < base_ || span(base_, id) >= byId_.size())
            return -1;
        return byId_[size_t(span(base_, id))];
    }
    const auto found = std::lower_bound(sorted_.begin(), sorted_.end(), std::pair{id, -1});
    return found != sorted_.end() && found->first == id ? found->second : -1;
}

void KeyPositions::appended(long long id, int position)
{
    if (dense_) {
        if (byId_.empty())
            base_ = id;
        if (id >= base_ && denseFits(base_, id, size_t(position) + 1)) {
            const size_t offset = size_t(span(base_, id));
            if (offset >= byId_.size())
                byId_.resize(offset + 1, -1);
            byId_[offset] = position;
            return;
        }
        makeSparse();
    }
    sorted_.emplace_back(id, position);
}

void KeyPositions::erased(long long id, int position)
{
    if (dense_) {
        if (id >= base_ && span(base_, id) < byId_.size())
            byId_[size_t(span(base_, id))] = -1;
        for (int& p : byId_)
            p -= p > position;
        return;
    }
    const auto found = std::lower_bound(sorted_.begin(), sorted_.end(), std::pair{id, -1});
    if (found != sorted_.end() && found->first == id)
        sorted_.erase(found);
    for (auto& entry : sorted_)
        entry.second -= entry.second > position;
}

void KeyPositions::makeSparse()
{
    std::vector<std::pair<long long, int>> entries;
    for (size_t offset = 0; offset < byId_.size(); ++offset) {
        if (byId_[offset] >= 0)
            entries.emplace_back((long long)((unsigned long long)base_ + offset), byId_[offset]);
    }
    clear();
    dense_ = false;
    sorted_ = std::move(entries);
}

void sortIds(std::vector<long long>& ids)
{
    if (ids.empty())
        return;
    const auto [lowIt, highIt] = std::minmax_element(ids.begin(), ids.end());
    const long long low = *lowIt;
    const long long high = *highIt;
    if (span(low, high) > 8 * (unsigned long long)ids.size() + 64) {
        std::sort(ids.begin(), ids.end());
        return;
    }
    // Ids are unique: mark each in a bitmap, then read the marks back in order.
    std::vector<std::uint64_t> marks(size_t(span(low, high) / 64 + 1), 0);
    for (const long long id : ids)
        marks[size_t(span(low, id) / 64)] |= std::uint64_t(1) << (span(low, id) % 64);
    size_t out = 0;
    for (size_t word = 0; word < marks.size(); ++word) {
        for (std::uint64_t bits = marks[word]; bits; bits &= bits - 1)
            ids[out++] = (long long)((unsigned long long)low + word * 64 +
                                     (unsigned long long)std::countr_zero(bits));
    }
}
