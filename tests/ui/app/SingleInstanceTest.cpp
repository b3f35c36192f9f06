#include "ui/app/SingleInstance.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <thread>

namespace qs::ui {
namespace {

QString UniqueName()
{
    static int counter = 0;
    return QStringLiteral("quillstar-instance-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

// A second start asking while this thread, the first instance's GUI thread, stays blocked as it
// does during the login exchange.
bool AskWhileBusy(const QString &name)
{
    bool running = false;
    std::thread second([&] { running = SingleInstance(name).askRunningInstance(); });
    second.join();
    return running;
}

// What a crashed instance leaves behind: the socket file with nobody listening on it.
void LeaveSocketFile(const QString &name)
{
    QString path;
    {
        QLocalServer server;
        ASSERT_TRUE(server.listen(name));
        path = server.fullServerName();
    }
    const QByteArray file = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, file.constData(),
                std::min<std::size_t>(file.size(), sizeof address.sun_path - 1));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(path));
}

TEST(SingleInstance, ABusyInstanceKeepsItsNameAndRaisesOnceFree)
{
    const QString name = UniqueName();
    SingleInstance first(name);
    int raised = 0;
    ASSERT_TRUE(first.claim([&raised] { ++raised; }));

    EXPECT_TRUE(AskWhileBusy(name)) << "the second start ends although nobody answered";
    EXPECT_EQ(raised, 0);
    {
        SingleInstance intruder(name);
        EXPECT_FALSE(intruder.claim([] {}));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 1; }, 5000));

    EXPECT_TRUE(AskWhileBusy(name)) << "the failed claim left the name with the first";
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 2; }, 5000));
}

TEST(SingleInstance, WithNobodyListeningANewStartTakesTheName)
{
    for (const bool crashed : {false, true}) {
        SCOPED_TRACE(crashed ? "leftover socket file" : "no socket file");
        const QString name = UniqueName();
        if (crashed)
            LeaveSocketFile(name);
        SingleInstance next(name);
        EXPECT_FALSE(next.askRunningInstance());
        int raised = 0;
        ASSERT_TRUE(next.claim([&raised] { ++raised; }));
        EXPECT_TRUE(AskWhileBusy(name));
        EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 1; }, 5000));
    }
}

} // namespace
} // namespace qs::ui
