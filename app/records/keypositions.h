#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// Where each record id sits in a keyset. Ids close together are looked up in a table
// indexed by id; ids spread far apart (another tool may store any id) in a sorted list,
// so memory follows the number of records, never the size of the ids.
class KeyPositions {
public:
    void build(const std::vector<long long>& keyset);
    void clear();
    // The position of `id`, or -1.
    int find(long long id) const;
    // `id`, larger than every id held, now sits at `position`, the end of the keyset.
    void appended(long long id, int position);
    // The record at `position` is gone; the ones after it moved up by one.
    void erased(long long id, int position);

private:
    bool denseFits(long long low, long long high, std::size_t count) const;
    void makeSparse();

    bool dense_ = true;
    long long base_ = 0;
    std::vector<int> byId_;
    std::vector<std::pair<long long, int>> sorted_;
};

// Sorts record ids, quickly when they lie close together, as a table's ids usually do.
void sortIds(std::vector<long long>& ids);
