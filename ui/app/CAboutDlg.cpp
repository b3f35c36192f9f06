#include "ui/app/CAboutDlg.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace qs::ui {

namespace {
constexpr int kIconSize = 32;
} // namespace

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CAboutDlg"));
    setWindowTitle(QStringLiteral("关于 Quillstar"));

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/app.png")).pixmap(kIconSize, kIconSize));
    icon->setAlignment(Qt::AlignTop);

    QStringList lines{QStringLiteral("Quillstar  Quillstar 团队"), QStringLiteral("提高操盘成功率"),
                      QStringLiteral("让投资更有道理")};
    auto *layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, static_cast<int>(lines.size()), 1);
    for (int row = 0; row < lines.size(); ++row) {
        auto *line = new QLabel(lines[row], this);
        line->setObjectName(QStringLiteral("line%1").arg(row));
        layout->addWidget(line, row, 1);
    }

    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("button%1").arg(kOkId));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
    layout->setColumnStretch(1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace qs::ui
