#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace qs::ui {

// One line of text in a colour of its own, "Arial" 14 bold, vertically centred. Only the text
// is drawn: the background is whatever the parent leaves. The caller repaints after a change.
// Screen readers and UI automation find it by its accessible name and read its text as the
// value.
class CPriceStatic final : public QWidget {
    Q_OBJECT

public:
    explicit CPriceStatic(QWidget *parent = nullptr);

    void setText(const QString &text);
    const QString &text() const { return m_text; }
    // #AARRGGBB.
    void setColour(QRgb argb) { m_colour = argb; }
    QRgb colour() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QRgb m_colour = 0xFF000000;
};

} // namespace qs::ui
