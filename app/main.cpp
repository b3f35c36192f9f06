#include "core/BuildConfig.h"
#include "core/platform/DataFolder.h"
#include "ui/app/CTenwickApp.h"
#include "ui/app/ClientCommandLine.h"
#include "ui/app/QtDesktopSeam.h"

#include <QApplication>
#include <QStandardPaths>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillstar"));
    QApplication::setQuitOnLastWindowClosed(true);

    const qs::ui::ClientCommandLine line
        = qs::ui::ParseClientCommandLine(QApplication::arguments(), qs::build::kServiceHost);
    if (!line.error.isEmpty() || line.help) {
        if (!line.error.isEmpty())
            std::fprintf(stderr, "%s\n", qUtf8Printable(line.error));
        std::fprintf(line.help ? stdout : stderr, "%s", qUtf8Printable(line.helpText));
        return line.error.isEmpty() ? 0 : 2;
    }

    qs::ui::QtDesktopSeam seam;
    qs::ui::CTenwickApp::Options options;
    options.serviceHost = line.host;
    options.folder = qs::DataFolder::choose(
        qs::DataFolder::besideExecutable().path(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
    // A restart runs with the same arguments, so it never falls back to the built-in host.
    options.programArguments = QApplication::arguments().mid(1);
    qs::ui::CTenwickApp client(options, seam);
    seam.setRestartHandler([&client] { client.restart(); });
    if (!client.start())
        return 0;
    return QApplication::exec();
}
