#include "ui/app/CMainFrame.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillstar"));
    qs::ui::CMainFrame frame;
    frame.show();
    return QApplication::exec();
}
