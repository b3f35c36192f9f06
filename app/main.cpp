#include "core/BuildConfig.h"
#include "core/app/ClientSession.h"
#include "core/platform/DataFolder.h"
#include "core/platform/SupportLog.h"
#include "core/protocol/LoginRecords.h"
#include "ui/app/CTenwickApp.h"
#include "ui/app/ClientCommandLine.h"
#include "ui/app/QtDesktopSeam.h"
#include "ui/app/RunWatch.h"

#include <QApplication>
#include <QStandardPaths>

#include <cstdio>

namespace {

int Run(const qs::ui::ClientCommandLine &line)
{
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

    qs::ui::RunWatch watch;
    watch.setStatus([&client]() -> std::string {
        qs::ClientSession *session = client.clientSession();
        if (session == nullptr)
            return {};
        return "bars=" + std::to_string(session->bars().size())
               + " messages=" + std::to_string(session->messages().size());
    });
    if (!client.start())
        return 0;
    return QApplication::exec();
}

} // namespace

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

    qs::SupportLog::open(
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation).toStdString()
        + "/logs");
    qs::SupportLog::line("start", std::string("version=") + qs::build::kVersion + " ("
                                      + std::to_string(qs::kClientVersion) + ") host=" + line.host);
    const int code = Run(line);
    qs::SupportLog::line("exit", "code=" + std::to_string(code));
    qs::SupportLog::close();
    return code;
}
