#pragma once

#include "core/platform/DesktopSeam.h"

#include <mutex>
#include <string>
#include <vector>

namespace qs::test {

// Records what the core asked of the desktop; answers message boxes with a preset result.
class SeamRecorder : public DesktopSeam {
public:
    struct Message {
        std::string text;
        MessageIcon icon;
        MessageButtons buttons;
        std::string caption;
    };
    struct Sound {
        int resourceId;
        bool loop;
    };

    MessageResult messageBox(const std::string &text, MessageIcon icon, MessageButtons buttons,
                             const std::string &caption) override;
    void playSound(int resourceId, bool loop) override;
    void stopSound() override;
    void openWebPage(const std::string &url) override;
    void restartProgram() override;
    void debugLine(const std::string &line) override;

    void answerWith(MessageResult result);

    std::vector<Message> messages() const;
    std::vector<std::string> messageTexts() const;
    std::vector<Sound> sounds() const;
    std::vector<std::string> webPages() const;
    std::vector<std::string> debugLines() const;
    int restarts() const;
    int soundStops() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    MessageResult m_answer = MessageResult::Ok;
    std::vector<Message> m_messages;
    std::vector<Sound> m_sounds;
    std::vector<std::string> m_webPages;
    std::vector<std::string> m_debugLines;
    int m_restarts = 0;
    int m_soundStops = 0;
};

} // namespace qs::test
