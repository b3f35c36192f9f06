#pragma once

#include "ui/CommandRouter.h"
#include "ui/FrameContext.h"

namespace qs {
class AlertList;
class MessageList;
class ProductNotificationFlags;
} // namespace qs

namespace qs::ui {

// The frame commands of messages, alerts and product settings.
class AlertCommands final : public CommandRouter {
public:
    // stopMessageBlink: the manager's button stops blinking before the manager opens.
    AlertCommands(FrameContext context, MessageList &messages,
                  std::function<void()> stopMessageBlink, AlertList &alerts,
                  ProductNotificationFlags &flags);

    bool route(int commandId) override;

private:
    void openMessageManager();

    FrameContext m_context;
    MessageList &m_messages;
    const std::function<void()> m_stopMessageBlink;
    AlertList &m_alerts;
    ProductNotificationFlags &m_flags;
};

} // namespace qs::ui
