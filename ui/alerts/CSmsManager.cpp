#include "ui/alerts/CSmsManager.h"

#include "core/alerts/MessageList.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <vector>

namespace qs::ui {

namespace {
constexpr int kTimeColumnWidth = 150;
constexpr int kContentColumnWidth = 500;
// 462 x 206 dialog units in the usual 8-point dialog font.
constexpr int kWidth = 693;
constexpr int kHeight = 335;
} // namespace

CSmsManager::CSmsManager(const MessageList &messages, QWidget *parent)
    : QDialog(parent)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("CSmsManager"));
    setWindowTitle(QStringLiteral("消息管理器"));
    resize(kWidth, kHeight);

    m_list = new QTableWidget(0, 2, this);
    m_list->setObjectName(QStringLiteral("list%1").arg(kListId));
    m_list->setHorizontalHeaderLabels({QStringLiteral("接收时间"), QStringLiteral("消息内容")});
    m_list->setColumnWidth(0, kTimeColumnWidth);
    m_list->setColumnWidth(1, kContentColumnWidth);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->verticalHeader()->hide();
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    connect(m_list, &QTableWidget::itemSelectionChanged, this, &CSmsManager::showSelected);

    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("static%1").arg(kTextId));
    // Server text is shown as it is, never read as markup.
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setMinimumHeight(48);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("button%1").arg(kCloseId));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_text);
    layout->addLayout(buttons);

    fill();
    m_refill.setInterval(kRefillPeriod);
    connect(&m_refill, &QTimer::timeout, this, &CSmsManager::fill);
    m_refill.start();
}

void CSmsManager::fill()
{
    const std::vector<Message> messages = m_messages.snapshot();
    // Emptying the list drops the selection; the text below keeps what was last selected.
    m_list->setRowCount(0);
    m_list->setRowCount(static_cast<int>(messages.size()));
    int row = 0;
    for (auto message = messages.rbegin(); message != messages.rend(); ++message, ++row) {
        m_list->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(message->time)));
        m_list->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(message->content)));
    }
}

void CSmsManager::showSelected()
{
    const QList<QTableWidgetItem *> selected = m_list->selectedItems();
    for (const QTableWidgetItem *item : selected)
        if (item->column() == 1) {
            m_text->setText(item->text());
            return;
        }
}

} // namespace qs::ui
