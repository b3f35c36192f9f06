#include "ui/app/CMainFrame.h"

namespace qs::ui {

CMainFrame::CMainFrame(QWidget *parent)
    : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Quillstar——提高操盘成功率 让投资更有道理"));
    resize(1024, 768);
}

} // namespace qs::ui
