#include "ui/app/FrameTimers.h"

#include "ui/app/ClientEventPoster.h"

#include "core/market/ProductCatalog.h"
#include "core/platform/DesktopSeam.h"
#include "ui/app/ToolbarImages.h"

#include <QAction>
#include <QPixmap>
#include <QThread>

namespace qs::ui {

namespace {
QIcon BlankImage()
{
    QPixmap pixmap(kToolbarImageSize, kToolbarImageSize);
    pixmap.fill(Qt::transparent);
    return QIcon(pixmap);
}
} // namespace

FrameTimers::FrameTimers(QAction *messageButton, ProductAction productAction, DesktopSeam &seam,
                         const ProductNotificationFlags &flags, BlinkList::SignalCount signalCount,
                         MessageList &messages, QObject *parent)
    : QObject(parent)
    , m_messageButton(messageButton)
    , m_productAction(std::move(productAction))
    , m_seam(seam)
    , m_flags(flags)
    , m_messages(messages)
    , m_blinks(std::move(signalCount))
    , m_messageIcon(messageButton != nullptr ? messageButton->icon() : QIcon())
    , m_blank(BlankImage())
{
    connect(&m_messageBlink, &QTimer::timeout, this, &FrameTimers::messageBlinkTick);
    // The sound stops once, a period after the last message started it.
    m_soundStop.setSingleShot(true);
    m_soundStop.setTimerType(Qt::PreciseTimer);
    connect(&m_soundStop, &QTimer::timeout, this, &FrameTimers::soundStopTick);
    connect(&m_productFlash, &QTimer::timeout, this, &FrameTimers::productFlashTick);
    setPeriods(Periods{});
    m_productFlash.start();
}

void FrameTimers::setPeriods(const Periods &periods)
{
    m_messageBlink.setInterval(periods.messageBlink);
    m_soundStop.setInterval(periods.soundStop);
    m_productFlash.setInterval(periods.productFlash);
}

template<typename Work>
void FrameTimers::onUiThread(Work work)
{
    if (QThread::currentThread() == thread())
        work();
    else
        PostToUiThread(this, std::move(work));
}

void FrameTimers::addMessage(const std::string &utf8, int soundId)
{
    m_messages.add(utf8);
    onUiThread([this, soundId] { onMessageAdded(soundId); });
}

void FrameTimers::onMessageAdded(int soundId)
{
    if (!m_messageBlinking) {
        m_messageBlinking = true;
        m_messageBlink.start();
    }
    m_seam.playSound(soundId, true);
    m_soundStop.start();
}

void FrameTimers::blinkUpkeep(std::int32_t productId, int direction)
{
    onUiThread([this, productId, direction] { upkeepOnUiThread(productId, direction); });
}

void FrameTimers::upkeepOnUiThread(std::int32_t productId, int direction)
{
    std::optional<ToolbarButton> button;
    const int commandId = ProductCommandId(productId);
    QAction *action
        = IsProductCommand(commandId) && m_productAction ? m_productAction(commandId) : nullptr;
    if (action != nullptr) {
        const int index = productId - 1;
        const bool blank = action->icon().cacheKey() == m_blank.cacheKey();
        if (!blank)
            m_productIcons.emplace(commandId, action->icon());
        button = ToolbarButton{index, commandId, blank ? BlinkList::kNoImage : index};
    }
    if (const std::optional<ButtonImageChange> change
        = m_blinks.upkeep(productId, direction, button))
        setProductImage(change->commandId, change->image);
}

void FrameTimers::stopMessageBlink()
{
    m_messageBlinking = false;
    m_messageBlink.stop();
    m_messageImageShown = true;
    if (m_messageButton != nullptr)
        m_messageButton->setIcon(m_messageIcon);
}

void FrameTimers::messageBlinkTick()
{
    m_messageImageShown = !m_messageImageShown;
    if (m_messageButton != nullptr)
        m_messageButton->setIcon(m_messageImageShown ? m_messageIcon : m_blank);
}

void FrameTimers::soundStopTick()
{
    m_soundStop.stop();
    m_seam.stopSound();
}

void FrameTimers::productFlashTick()
{
    for (const ButtonImageChange &change : m_blinks.step(m_flags))
        setProductImage(change.commandId, change.image);
}

void FrameTimers::setProductImage(int commandId, int image)
{
    QAction *action = m_productAction ? m_productAction(commandId) : nullptr;
    if (action == nullptr)
        return;
    if (image == BlinkList::kNoImage) {
        action->setIcon(m_blank);
        return;
    }
    const auto own = m_productIcons.find(commandId);
    if (own != m_productIcons.end())
        action->setIcon(own->second);
}

} // namespace qs::ui
