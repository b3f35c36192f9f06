#pragma once

#include <QDialog>
#include <QTimer>

#include <chrono>

class QLabel;
class QTableWidget;

namespace qs {
class MessageList;
}

namespace qs::ui {

// The message manager (template 149): every message of the run, newest first, refilled every
// five seconds while it is open; a selected row's text is shown in full below the list.
class CSmsManager final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kListId = 1005;
    static constexpr int kTextId = 1006;
    static constexpr int kCloseId = 1001;
    static constexpr std::chrono::milliseconds kRefillPeriod{5000};

    explicit CSmsManager(const MessageList &messages, QWidget *parent = nullptr);

    void setRefillPeriod(std::chrono::milliseconds period) { m_refill.setInterval(period); }

public Q_SLOTS:
    void fill();

private:
    void showSelected();

    const MessageList &m_messages;
    QTableWidget *m_list = nullptr;
    QLabel *m_text = nullptr;
    QTimer m_refill;
};

} // namespace qs::ui
