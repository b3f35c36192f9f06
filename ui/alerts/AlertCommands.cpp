#include "ui/alerts/AlertCommands.h"

#include "ui/CommandIds.h"
#include "ui/alerts/CSmsManager.h"

namespace qs::ui {

AlertCommands::AlertCommands(FrameContext context, MessageList &messages,
                             std::function<void()> stopMessageBlink)
    : m_context(std::move(context))
    , m_messages(messages)
    , m_stopMessageBlink(std::move(stopMessageBlink))
{}

bool AlertCommands::route(int commandId)
{
    switch (commandId) {
    case command::kMessageManager:
        openMessageManager();
        return true;
    default:
        return false;
    }
}

void AlertCommands::openMessageManager()
{
    m_stopMessageBlink();
    CSmsManager manager(m_messages, m_context.window);
    manager.exec();
}

} // namespace qs::ui
