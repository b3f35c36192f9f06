#include "ui/alerts/AlertSetup.h"

#include "core/market/ProductNotificationFlags.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace qs::ui {

namespace {

constexpr int kFirstBoxId = 1031;
constexpr int kColumns = 4;

// Product ids 1-28 in order.
constexpr const char *kCaptions[AlertSetup::kProducts] = {
    "伦敦金",    "伦敦银",          "天通金",          "天通银",          "上海金",    "上海银",
    "欧元/澳元", "英镑/瑞郎",       "欧元/英镑",       "瑞郎/日元",       "加元/日元", "澳元/加元",
    "纽约原油",  "欧元/美元",       "美元/日元",       "美元/瑞郎",       "英镑/美元", "美元/加元",
    "澳元/美元", "黄金/白银(伦敦)", "黄金/白银(天津)", "黄金/白银(上海)", "黄金/英镑", "黄金/日元",
    "黄金/澳元", "白银/欧元",       "白银/瑞郎",       "白银/加元",
};

} // namespace

AlertSetup::AlertSetup(const FrameContext &context, ProductNotificationFlags &flags,
                       QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_flags(flags)
{
    setObjectName(QStringLiteral("AlertSetup"));
    setWindowTitle(QStringLiteral("产品设置"));
    auto *group = new QGroupBox(QStringLiteral("产品"), this);
    auto *grid = new QGridLayout(group);
    for (int k = 0; k < kProducts; ++k) {
        auto *box = new QCheckBox(QString::fromUtf8(kCaptions[k]), group);
        box->setObjectName(QStringLiteral("check%1").arg(kFirstBoxId + k));
        box->setChecked(m_flags.flag(k + 1) == 1);
        grid->addWidget(box, k / kColumns, k % kColumns);
        m_boxes[static_cast<std::size_t>(k)] = box;
    }
    auto *save = new QPushButton(QStringLiteral("保存设置"), this);
    save->setObjectName(QStringLiteral("button1020"));
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("button1021"));
    for (QPushButton *button : {save, cancel})
        button->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

    connect(save, &QPushButton::clicked, this, &AlertSetup::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void AlertSetup::save()
{
    std::array<std::uint8_t, kProducts> followed{};
    for (std::size_t k = 0; k < followed.size(); ++k)
        followed[k] = m_boxes[k]->isChecked() ? 1 : 0;
    if (m_flags.saveToServer(m_context.link, followed))
        accept();
}

} // namespace qs::ui
