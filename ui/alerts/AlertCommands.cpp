#include "ui/alerts/AlertCommands.h"

#include "ui/CommandIds.h"
#include "ui/alerts/AlertSetup.h"
#include "ui/alerts/CPriceAlter.h"
#include "ui/alerts/CSmsManager.h"

namespace qs::ui {

AlertCommands::AlertCommands(FrameContext context, MessageList &messages,
                             std::function<void()> stopMessageBlink, AlertList &alerts,
                             ProductNotificationFlags &flags)
    : m_context(std::move(context))
    , m_messages(messages)
    , m_stopMessageBlink(std::move(stopMessageBlink))
    , m_alerts(alerts)
    , m_flags(flags)
{}

bool AlertCommands::route(int commandId)
{
    switch (commandId) {
    case command::kMessageManager:
        openMessageManager();
        return true;
    case command::kPriceAlerts: {
        CPriceAlter dialog(m_context, m_alerts, m_context.window);
        dialog.exec();
        return true;
    }
    case command::kProductSettings: {
        AlertSetup dialog(m_context, m_flags, m_context.window);
        dialog.exec();
        return true;
    }
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
