#pragma once

#include <QDialog>

namespace qs::ui {

// Dialog 100: the application icon, the product and its maker, the two slogans, "确定".
class CAboutDlg final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kOkId = 1;

    explicit CAboutDlg(QWidget *parent = nullptr);
};

} // namespace qs::ui
