#include "ui/widgets/MySpinButtonCtrl.h"

#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace qs::ui {
namespace {

QToolButton *ArrowButton(Qt::ArrowType arrow, const QString &name, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAccessibleName(name);
    // Holding the button keeps stepping, as holding an arrow key does.
    button->setAutoRepeat(true);
    // The typing caret stays in the buddy while the mouse steps.
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    return button;
}

} // namespace

MySpinButtonCtrl::MySpinButtonCtrl(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("MySpinButtonCtrl"));
    // The owner names it after its field; this is only the fallback.
    setAccessibleName(QStringLiteral("微调"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

    auto *up = ArrowButton(Qt::UpArrow, QStringLiteral("增加"), this);
    auto *down = ArrowButton(Qt::DownArrow, QStringLiteral("减少"), this);
    connect(up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down, &QToolButton::clicked, this, [this] { stepBy(-1); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up);
    layout->addWidget(down);
}

void MySpinButtonCtrl::setBuddy(CFloatNumberEdit *buddy)
{
    if (m_buddy != nullptr)
        m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    if (m_buddy != nullptr)
        m_buddy->installEventFilter(this);
    updateGeometry();
}

void MySpinButtonCtrl::setRange(qint64 lower, qint64 upper)
{
    m_lower = std::min(lower, upper);
    m_upper = std::max(lower, upper);
}

void MySpinButtonCtrl::stepBy(int clicks)
{
    if (m_buddy == nullptr || !isEnabled())
        return;
    const qint64 position = m_buddy->readWholeUnits() + qint64{clicks} * m_step;
    m_buddy->setUnitsText(QString::number(std::clamp(position, m_lower, m_upper)));
    Q_EMIT stepped();
}

QSize MySpinButtonCtrl::sizeHint() const
{
    const int width = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int height = m_buddy != nullptr ? m_buddy->sizeHint().height() : 2 * width;
    return {width, height};
}

bool MySpinButtonCtrl::eventFilter(QObject *watched, QEvent *event)
{
    // The type first: the buddy's own destruction sends events here, and reading the pointer then
    // casts a half-destroyed widget.
    if (event->type() == QEvent::KeyPress && watched == m_buddy && isEnabled()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qs::ui
