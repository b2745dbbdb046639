#include "core/PgnFiles.h"

#include "core/TextUtils.h"

namespace korvane {

Pgn& PgnFiles::Add(const std::string& key, const std::string& sKey, long debugId) {
    if (!sKey.empty() && Contains(sKey)) {
        throw DuplicateKey("This key is already associated with an element of this collection");
    }
    auto pgn = std::make_shared<Pgn>(debugId);
    pgn->Key = key;
    m_items.push_back({sKey, std::move(pgn)});
    return *m_items.back().pgn;
}

long PgnFiles::PositionOf(const std::string& key) const {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (!m_items[i].key.empty() && EqualsNoCase(m_items[i].key, key)) {
            return static_cast<long>(i) + 1;
        }
    }
    return 0;
}

static void checkPosition(long position, long count) {
    if (position < 1 || position > count) {
        throw PgnFiles::NotFound("Invalid procedure call or argument");
    }
}

const Pgn& PgnFiles::Item(long position) const {
    checkPosition(position, Count());
    return *m_items[static_cast<std::size_t>(position - 1)].pgn;
}

const Pgn& PgnFiles::Item(const std::string& key) const {
    const long position = PositionOf(key);
    if (position == 0) {
        throw NotFound("Invalid procedure call or argument");
    }
    return Item(position);
}

Pgn& PgnFiles::Item(long position) {
    return const_cast<Pgn&>(static_cast<const PgnFiles&>(*this).Item(position));
}

Pgn& PgnFiles::Item(const std::string& key) {
    return const_cast<Pgn&>(static_cast<const PgnFiles&>(*this).Item(key));
}

std::shared_ptr<Pgn> PgnFiles::Share(long position) {
    checkPosition(position, Count());
    return m_items[static_cast<std::size_t>(position - 1)].pgn;
}

std::shared_ptr<Pgn> PgnFiles::Share(const std::string& key) {
    const long position = PositionOf(key);
    if (position == 0) {
        throw NotFound("Invalid procedure call or argument");
    }
    return Share(position);
}

void PgnFiles::Remove(long position) {
    checkPosition(position, Count());
    m_items.erase(m_items.begin() + (position - 1));
}

void PgnFiles::Remove(const std::string& key) {
    const long position = PositionOf(key);
    if (position == 0) {
        throw NotFound("Invalid procedure call or argument");
    }
    Remove(position);
}

}  // namespace korvane
