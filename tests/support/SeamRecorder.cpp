#include "tests/support/SeamRecorder.h"

namespace qs::test {

MessageResult SeamRecorder::messageBox(const std::string &text, MessageIcon icon,
                                       MessageButtons buttons, const std::string &caption)
{
    std::lock_guard lock(m_mutex);
    m_messages.push_back({text, icon, buttons, caption});
    return m_answer;
}

void SeamRecorder::playSound(int resourceId, bool loop)
{
    std::lock_guard lock(m_mutex);
    m_sounds.push_back({resourceId, loop});
}

void SeamRecorder::stopSound()
{
    std::lock_guard lock(m_mutex);
    ++m_soundStops;
}

void SeamRecorder::openWebPage(const std::string &url)
{
    std::lock_guard lock(m_mutex);
    m_webPages.push_back(url);
}

void SeamRecorder::restartProgram()
{
    std::lock_guard lock(m_mutex);
    ++m_restarts;
}

void SeamRecorder::debugLine(const std::string &line)
{
    std::lock_guard lock(m_mutex);
    m_debugLines.push_back(line);
}

void SeamRecorder::answerWith(MessageResult result)
{
    std::lock_guard lock(m_mutex);
    m_answer = result;
}

std::vector<SeamRecorder::Message> SeamRecorder::messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

std::vector<std::string> SeamRecorder::messageTexts() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> texts;
    for (const auto &message : m_messages)
        texts.push_back(message.text);
    return texts;
}

std::vector<SeamRecorder::Sound> SeamRecorder::sounds() const
{
    std::lock_guard lock(m_mutex);
    return m_sounds;
}

std::vector<std::string> SeamRecorder::webPages() const
{
    std::lock_guard lock(m_mutex);
    return m_webPages;
}

std::vector<std::string> SeamRecorder::debugLines() const
{
    std::lock_guard lock(m_mutex);
    return m_debugLines;
}

int SeamRecorder::restarts() const
{
    std::lock_guard lock(m_mutex);
    return m_restarts;
}

int SeamRecorder::soundStops() const
{
    std::lock_guard lock(m_mutex);
    return m_soundStops;
}

void SeamRecorder::clear()
{
    std::lock_guard lock(m_mutex);
    m_messages.clear();
    m_sounds.clear();
    m_webPages.clear();
    m_debugLines.clear();
    m_restarts = 0;
    m_soundStops = 0;
}

} // namespace qs::test
