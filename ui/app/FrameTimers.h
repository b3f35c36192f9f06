#pragma once

#include "core/alerts/MessageList.h"
#include "core/signals/BlinkList.h"

#include <QIcon>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

class QAction;

namespace qs {
class DesktopSeam;
class ProductNotificationFlags;
} // namespace qs

namespace qs::ui {

// The main frame's timers 1 (message-button blink), 3 (sound stop) and 11 (product-button
// flash) with the message list and the blink list they serve. addMessage and blinkUpkeep may
// be called from any thread; everything that touches a button, a timer or a sound happens on
// the thread this object lives on (the UI thread).
class FrameTimers final : public QObject {
    Q_OBJECT

public:
    struct Periods {
        std::chrono::milliseconds messageBlink{500};
        std::chrono::milliseconds soundStop{5000};
        std::chrono::milliseconds productFlash{100};
    };
    // The QAction of a product command (30001-30028), or none.
    using ProductAction = std::function<QAction *(int commandId)>;

    FrameTimers(QAction *messageButton, ProductAction productAction, DesktopSeam &seam,
                const ProductNotificationFlags &flags, BlinkList::SignalCount signalCount,
                MessageList &messages, QObject *parent = nullptr);

    // Tests shorten the periods; the flash timer keeps running.
    void setPeriods(const Periods &periods);

    // Any thread: the message joins the list at once, stamped now; then the button starts
    // blinking (unless it already does), the looping sound starts from its beginning and the
    // sound stops one period after the last start.
    void addMessage(const std::string &utf8, int soundId);
    // Any thread: the blink list upkeep for a new (+1) or withdrawn (-1) signal.
    void blinkUpkeep(std::int32_t productId, int direction);

    // Command 32784, before the message manager runs: the button stops blinking and shows its
    // image; the messages stay.
    void stopMessageBlink();

    MessageList &messages() { return m_messages; }
    const BlinkList &blinkList() const { return m_blinks; }
    bool messageBlinking() const { return m_messageBlinking; }
    bool soundStopPending() const { return m_soundStop.isActive(); }

public Q_SLOTS:
    // What each timer does on a tick.
    void messageBlinkTick();
    void soundStopTick();
    void productFlashTick();
    // A message joined the list: the button blinks (unless it already does), the looping sound
    // starts from its beginning and stops one period after the last start.
    void onMessageAdded(int soundId);

private:
    void upkeepOnUiThread(std::int32_t productId, int direction);
    void setProductImage(int commandId, int image);
    template<typename Work>
    void onUiThread(Work work);

    QAction *m_messageButton;
    const ProductAction m_productAction;
    DesktopSeam &m_seam;
    const ProductNotificationFlags &m_flags;
    MessageList &m_messages;
    BlinkList m_blinks;
    QIcon m_messageIcon;
    const QIcon m_blank;
    std::map<int, QIcon> m_productIcons; // command id -> the button's own image
    bool m_messageBlinking = false;      // the frame's message blink flag
    bool m_messageImageShown = true;
    QTimer m_messageBlink;
    QTimer m_soundStop;
    QTimer m_productFlash;
};

} // namespace qs::ui
