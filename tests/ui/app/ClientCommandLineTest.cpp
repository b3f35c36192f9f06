#include "ui/app/ClientCommandLine.h"

#include <gtest/gtest.h>

namespace qs::ui {
namespace {

TEST(ClientCommandLine, OnlyTheServerCanBeChosen)
{
    const struct {
        QStringList arguments;
        std::string host;
        bool help;
        bool error;
    } rows[] = {
        {{"quillstar"}, "127.0.0.1", false, false},
        {{"quillstar", "--host", "quotes.example.net"}, "quotes.example.net", false, false},
        {{"quillstar", "--server=10.0.0.7"}, "10.0.0.7", false, false},
        {{"quillstar", "--help"}, "127.0.0.1", true, false},
        {{"quillstar", "--host"}, "127.0.0.1", false, true},
        {{"quillstar", "--host", " "}, "127.0.0.1", false, true},
        {{"quillstar", "--colour"}, "127.0.0.1", false, true},
        {{"quillstar", "stray"}, "127.0.0.1", false, true},
    };
    for (const auto &row : rows) {
        const ClientCommandLine line = ParseClientCommandLine(row.arguments, "127.0.0.1");
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        EXPECT_EQ(line.host, row.host);
        EXPECT_EQ(line.help, row.help);
        EXPECT_EQ(!line.error.isEmpty(), row.error);
        EXPECT_TRUE(line.helpText.contains(QStringLiteral("--host")));
    }
}

} // namespace
} // namespace qs::ui
