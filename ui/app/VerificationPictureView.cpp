#include "ui/app/VerificationPictureView.h"

#include <QPainter>

namespace qs::ui {

VerificationPictureView::VerificationPictureView(QWidget *parent)
    : QWidget(parent)
{
    m_image
        = QImage(VerificationPicture::kWidth, VerificationPicture::kHeight, QImage::Format_RGB888);
    m_image.fill(Qt::black);
    setMinimumSize(VerificationPicture::kWidth, VerificationPicture::kHeight);
}

void VerificationPictureView::setPicture(const VerificationPicture &picture)
{
    // Rows arrive bottom-up, pixels blue-green-red.
    const QImage bottomUp(picture.bytes.data(), VerificationPicture::kWidth,
                          VerificationPicture::kHeight, VerificationPicture::kStride,
                          QImage::Format_BGR888);
    m_image = bottomUp.mirrored(false, true).convertToFormat(QImage::Format_RGB888);
    update();
}

void VerificationPictureView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(rect(), m_image);
}

} // namespace qs::ui
