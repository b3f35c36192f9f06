#include "server/ProductFlagBook.h"

#include <algorithm>

namespace qs::server {

ProductFlags ProductFlagBook::read(const std::string &member) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_flags.find(member);
    if (found != m_flags.end())
        return found->second;
    ProductFlags defaults;
    defaults.fill(1);
    return defaults;
}

bool ProductFlagBook::save(const std::string &member, const ProductFlags &flags)
{
    if (!std::all_of(flags.begin(), flags.end(), [](std::uint8_t f) { return f <= 1; }))
        return false;
    std::lock_guard lock(m_mutex);
    m_flags[member] = flags;
    return true;
}

} // namespace qs::server
