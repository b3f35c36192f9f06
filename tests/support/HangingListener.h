#pragma once

#include <cstdint>
#include <vector>

namespace qs::test {

// A loopback port whose accept queue is full and never drained: a further connect hangs in its
// handshake until the connecting side gives up, as against a server that stopped answering.
class HangingListener {
public:
    HangingListener();
    ~HangingListener();
    HangingListener(const HangingListener &) = delete;
    HangingListener &operator=(const HangingListener &) = delete;

    std::uint16_t port() const { return m_port; }

private:
    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::vector<int> m_fillers;
};

} // namespace qs::test
