#include "core/BuildConfig.h"
#include "core/platform/DataFolder.h"
#include "ui/app/CTenwickApp.h"
#include "ui/app/QtDesktopSeam.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillstar"));
    QApplication::setQuitOnLastWindowClosed(true);

    qs::ui::QtDesktopSeam seam;
    qs::ui::CTenwickApp::Options options;
    options.serviceHost = qs::build::kServiceHost;
    options.folder = qs::DataFolder::besideExecutable();
    qs::ui::CTenwickApp client(options, seam);
    seam.setRestartHandler([&client] { client.restart(); });
    if (!client.start())
        return 0;
    return QApplication::exec();
}
