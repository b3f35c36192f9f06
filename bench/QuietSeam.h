#pragma once

#include "core/platform/DesktopSeam.h"

namespace qs::bench {

// A desktop that answers every box with OK and shows, plays and opens nothing.
class QuietSeam final : public DesktopSeam {
public:
    MessageResult messageBox(const std::string &, MessageIcon, MessageButtons,
                             const std::string &) override
    {
        return MessageResult::Ok;
    }
    void playSound(int, bool) override {}
    void stopSound() override {}
    void openWebPage(const std::string &) override {}
    void restartProgram() override {}
    void debugLine(const std::string &) override {}
};

} // namespace qs::bench
