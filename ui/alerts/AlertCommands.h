#pragma once

#include "ui/CommandRouter.h"

namespace qs {
class MessageList;
}

namespace qs::ui {

// The frame commands of messages, alerts and product settings.
class AlertCommands final : public CommandRouter {
public:
    // stopMessageBlink: the manager's button stops blinking before the manager opens.
    AlertCommands(FrameContext context, MessageList &messages,
                  std::function<void()> stopMessageBlink);

    bool route(int commandId) override;

private:
    void openMessageManager();

    FrameContext m_context;
    MessageList &m_messages;
    const std::function<void()> m_stopMessageBlink;
};

} // namespace qs::ui
