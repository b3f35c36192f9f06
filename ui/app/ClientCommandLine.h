#pragma once

#include <QString>
#include <QStringList>

#include <string>

namespace qs::ui {

// What the client's command line asks for. Only the server can be chosen: a member points an
// installed client at another server for one run without rebuilding it.
struct ClientCommandLine {
    std::string host;  // the service host: the build's default unless --host or --server
    bool help = false; // --help: print helpText and end
    QString error;     // not empty: print it with helpText and end
    QString helpText;
};

ClientCommandLine ParseClientCommandLine(const QStringList &arguments,
                                         const std::string &defaultHost);

} // namespace qs::ui
