#pragma once

#include "core/protocol/LoginRecords.h"

#include <QImage>
#include <QWidget>

namespace qs::ui {

// Control 1018: the verification picture stretched over the control.
class VerificationPictureView : public QWidget {
    Q_OBJECT

public:
    explicit VerificationPictureView(QWidget *parent = nullptr);

    void setPicture(const VerificationPicture &picture);
    const QImage &image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
};

} // namespace qs::ui
