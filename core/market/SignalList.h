#pragma once

#include "core/platform/Mutex.h"
#include "core/protocol/SignalRecord.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace qs {

// The chart's signals in arrival order under the signal-list lock, at most one per signal key.
class SignalList {
public:
    // Replaces every entry with the record's key and appends the record; true when one was
    // replaced (the signal was repeated).
    bool add(const SignalRecord &record);
    // Removes every entry with the record's key.
    void withdraw(const SignalRecord &record);
    int countFor(int productId) const;
    void clear();
    std::size_t size() const;
    std::vector<SignalRecord> snapshot() const;
    // Visits every entry under the lock; the layout stores each line's y in its entry.
    void forEach(const std::function<void(SignalRecord &)> &visit);

private:
    std::size_t removeKey(const SignalRecord &record) REQUIRES(m_mutex);

    mutable Mutex m_mutex;
    std::vector<SignalRecord> m_signals GUARDED_BY(m_mutex);
};

} // namespace qs
