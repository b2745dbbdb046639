#pragma once
// The monitor list: Pgn records in insertion order, keyed by the source file name
// compared without regard to letter case. Positions are 1-based.

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Pgn.h"

namespace korvane {

class PgnFiles {
public:
    // Thrown by Add for a key that is already present, and by Item/Remove for a position
    // or key that is not there.
    struct DuplicateKey : std::runtime_error {
        using std::runtime_error::runtime_error;
    };
    struct NotFound : std::out_of_range {
        using std::out_of_range::out_of_range;
    };

    // Creates a record with the given Key, stored under sKey (unkeyed when sKey is empty).
    // debugId is the record's ClassDebugID.
    Pgn& Add(const std::string& key, const std::string& sKey, long debugId);
    Pgn& Item(long position);
    Pgn& Item(const std::string& key);
    const Pgn& Item(long position) const;
    const Pgn& Item(const std::string& key) const;
    long Count() const { return static_cast<long>(m_items.size()); }
    void Remove(long position);
    void Remove(const std::string& key);

    // Shared ownership of the record at a position or under a key: a caller that lets
    // window events run while it works on a record (the processing cycle) holds it this
    // way, so that the operator removing the game meanwhile cannot free it under the caller.
    std::shared_ptr<Pgn> Share(long position);
    std::shared_ptr<Pgn> Share(const std::string& key);

    // 1-based position of the record stored under key, 0 when there is none.
    long PositionOf(const std::string& key) const;
    bool Contains(const std::string& key) const { return PositionOf(key) != 0; }

private:
    struct Entry {
        std::string key;  // empty for an unkeyed record
        std::shared_ptr<Pgn> pgn;
    };
    std::vector<Entry> m_items;

public:
    // Walks all records in list order: for (Pgn& game : list) ...
    template <typename Inner, typename Record>
    class BasicIterator {
    public:
        explicit BasicIterator(Inner it) : m_it(it) {}
        Record& operator*() const { return *m_it->pgn; }
        Record* operator->() const { return m_it->pgn.get(); }
        BasicIterator& operator++() {
            ++m_it;
            return *this;
        }
        bool operator==(const BasicIterator&) const = default;

    private:
        Inner m_it;
    };
    using iterator = BasicIterator<std::vector<Entry>::iterator, Pgn>;
    using const_iterator = BasicIterator<std::vector<Entry>::const_iterator, const Pgn>;
    iterator begin() { return iterator(m_items.begin()); }
    iterator end() { return iterator(m_items.end()); }
    const_iterator begin() const { return const_iterator(m_items.begin()); }
    const_iterator end() const { return const_iterator(m_items.end()); }
};

}  // namespace korvane
