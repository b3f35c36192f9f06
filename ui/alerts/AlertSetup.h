#pragma once

#include "ui/FrameContext.h"

#include <QDialog>

#include <array>

class QCheckBox;

namespace qs {
class ProductNotificationFlags;
}

namespace qs::ui {

// "产品设置": which of the 28 products the member follows; a saved choice governs signal
// announcements and button blinking at once.
class AlertSetup final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kProducts = 28;

    AlertSetup(const FrameContext &context, ProductNotificationFlags &flags,
               QWidget *parent = nullptr);

    // What "保存设置" does: closes the dialog only when the server kept the choice.
    void save();

private:
    FrameContext m_context;
    ProductNotificationFlags &m_flags;
    std::array<QCheckBox *, kProducts> m_boxes{};
};

} // namespace qs::ui
