#include "tests/support/TempFolder.h"

#include <atomic>
#include <random>
#include <string>
#include <system_error>

namespace qs::test {

TempFolder::TempFolder()
{
    static std::atomic<unsigned> counter{0};
    std::random_device entropy;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        m_path = base
                 / ("quillstar-test-" + std::to_string(entropy()) + "-"
                    + std::to_string(counter.fetch_add(1)));
        if (std::filesystem::create_directory(m_path))
            break;
    }
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

} // namespace qs::test
