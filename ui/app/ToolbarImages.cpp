#include "ui/app/ToolbarImages.h"

#include "ui/CommandIds.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace qs::ui {

namespace {
QIcon Tile(const QColor &colour, const QString &label)
{
    QPixmap pixmap(kToolbarImageSize, kToolbarImageSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour.darker(140));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(1.5, 1.5, kToolbarImageSize - 3, kToolbarImageSize - 3), 5, 5);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(label.size() > 2 ? 9 : 12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter | Qt::TextWordWrap, label);
    return QIcon(pixmap);
}

// "伦敦金(T+0)" -> "伦敦金", "欧元/澳元" -> "欧澳", "黄金/白银(伦敦)" -> "金银伦".
QString ShortLabel(const QString &caption)
{
    QString base = caption.section(QLatin1Char('('), 0, 0);
    const QString place = caption.section(QLatin1Char('('), 1).section(QLatin1Char(')'), 0, 0);
    if (base.contains(QLatin1Char('/'))) {
        const QString left = base.section(QLatin1Char('/'), 0, 0);
        const QString right = base.section(QLatin1Char('/'), 1);
        base = left.left(1) + right.left(1);
        if (!place.isEmpty() && place != QStringLiteral("T+0"))
            base += place.left(1);
    }
    return base.left(3);
}
} // namespace

QIcon ProductButtonImage(int productId, const QString &caption)
{
    QColor colour;
    if (productId <= 6)
        colour = QColor(184, 134, 11); // metals
    else if (productId == 13)
        colour = QColor(60, 60, 60); // crude oil
    else if (productId < 20)
        colour = QColor(30, 90, 160); // currency pairs
    else
        colour = QColor(130, 40, 120); // ratios
    return Tile(colour, ShortLabel(caption));
}

QIcon CommonButtonImage(int commandId)
{
    switch (commandId) {
    case command::kMessageManager:
        return Tile(QColor(200, 60, 40), QStringLiteral("消息"));
    case command::kMousePlain:
        return Tile(QColor(90, 90, 90), QStringLiteral("默认"));
    case command::kMouseCross:
        return Tile(QColor(90, 90, 90), QStringLiteral("十字"));
    case command::kMouseDrag:
        return Tile(QColor(90, 90, 90), QStringLiteral("移动"));
    case command::kWebSite:
        return Tile(QColor(40, 120, 60), QStringLiteral("网站"));
    case command::kBlog:
        return Tile(QColor(40, 120, 60), QStringLiteral("博客"));
    case command::kExit:
        return Tile(QColor(150, 30, 30), QStringLiteral("退出"));
    default:
        return Tile(QColor(120, 120, 120), QString::number(commandId % 100));
    }
}

} // namespace qs::ui
