#pragma once

#include "core/protocol/KLineBar.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace qs::server {

// What the K-line port sends for one request: the archive and the trailer key.
struct PackedReply {
    std::vector<std::uint8_t> archive; // empty: length 0 goes out
    BarKey trailer;
};

// Download replies packed once and sent many times. A reply is kept with the generation of the
// product's history it was packed from and found only at that generation, so it never outlives
// the bars and signals in it. The least recently used go first once a limit is reached.
class PackedHistory {
public:
    struct Key {
        int productId = 0;
        BarKey from;
        BarKey to;
    };
    // A whole 30,000-bar history packs to about 380 KiB, a page of it to a thirtieth of that.
    struct Limits {
        std::size_t bytes = std::size_t{32} << 20;
        std::size_t entries = 256;
    };

    explicit PackedHistory(Limits limits);

    // Null when nothing was kept for the key at this generation.
    std::shared_ptr<const PackedReply> find(const Key &key, std::uint64_t generation);
    // A reply made of an older generation than one already kept for the product is dropped: a
    // request that packed slowly must not put back what a newer bar or signal replaced.
    void keep(const Key &key, std::uint64_t generation, std::shared_ptr<const PackedReply> reply);

    std::size_t entries() const;
    std::size_t bytes() const;

private:
    struct Entry {
        Key key;
        std::uint64_t generation = 0;
        std::uint64_t lastUse = 0;
        std::shared_ptr<const PackedReply> reply;
    };

    void evictOverLimits();

    const Limits m_limits;
    mutable std::mutex m_mutex;
    std::vector<Entry> m_entries;
    std::size_t m_bytes = 0;
    std::uint64_t m_uses = 0;
};

} // namespace qs::server
