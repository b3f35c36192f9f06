#pragma once

#include <QIcon>
#include <QString>

namespace qs::ui {

inline constexpr int kToolbarImageSize = 32;

// Our own 32 x 32 button images: a coloured tile with a short label.
QIcon ProductButtonImage(int productId, const QString &caption);
QIcon CommonButtonImage(int commandId);

} // namespace qs::ui
