#include "ui/app/ClientCommandLine.h"

#include <QCommandLineParser>

namespace qs::ui {

ClientCommandLine ParseClientCommandLine(const QStringList &arguments,
                                         const std::string &defaultHost)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The Quillstar desktop client. Without options it connects to %1.")
            .arg(QString::fromStdString(defaultHost)));
    const QCommandLineOption host({QStringLiteral("host"), QStringLiteral("server")},
                                  QStringLiteral("Connect to the service at NAME for this run."),
                                  QStringLiteral("NAME"));
    const QCommandLineOption help({QStringLiteral("help"), QStringLiteral("h")},
                                  QStringLiteral("Show this text and end."));
    parser.addOption(host);
    parser.addOption(help);

    ClientCommandLine line;
    line.host = defaultHost;
    line.helpText = parser.helpText();
    if (!parser.parse(arguments)) {
        line.error = parser.errorText();
        return line;
    }
    if (!parser.positionalArguments().isEmpty()) {
        line.error
            = QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments().front());
        return line;
    }
    line.help = parser.isSet(help);
    if (parser.isSet(host)) {
        const QString name = parser.value(host).trimmed();
        if (name.isEmpty())
            line.error = QStringLiteral("--host needs a server name.");
        else
            line.host = name.toStdString();
    }
    return line;
}

} // namespace qs::ui
