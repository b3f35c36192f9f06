#include "ui/app/SingleInstance.h"

#include "tests/support/SeamRecorder.h"
#include "ui/app/CTenwickApp.h"

#include <QCoreApplication>
#include <QDir>
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
#include <list>
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

QString SocketPath(const QString &name)
{
    QLocalServer server;
    EXPECT_TRUE(server.listen(name));
    return server.fullServerName();
}

// What a crashed instance leaves behind: the socket file with nobody listening on it.
void LeaveSocketFile(const QString &path)
{
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

TEST(SingleInstance, WithNobodyListeningANewStartTakesTheNameUnlessSomethingBlocksIt)
{
    EXPECT_EQ(CTenwickApp::Options().instanceName, InstanceNameFor(QString::number(::getuid())));
    const struct {
        const char *what;
        void (*before)(const QString &path);
        bool claims;
    } cases[] = {
        {"no socket file", [](const QString &) {}, true},
        {"leftover socket file", LeaveSocketFile, true},
        // Even root can neither rename a socket over a directory nor remove it as a file.
        {"a directory in the way", [](const QString &path) { QDir().mkdir(path); }, false},
    };
    // Each row is another user, whose guard stays claimed while the next one claims.
    std::list<SingleInstance> users;
    for (const auto &row : cases) {
        SCOPED_TRACE(row.what);
        const QString name = InstanceNameFor(UniqueName());
        const QString path = SocketPath(name);
        row.before(path);
        SingleInstance &next = users.emplace_back(name);
        EXPECT_FALSE(next.askRunningInstance());
        int raised = 0;
        EXPECT_EQ(next.claim([&raised] { ++raised; }), row.claims)
            << qPrintable(next.claimFailure());
        if (row.claims) {
            EXPECT_TRUE(AskWhileBusy(name));
            EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 1; }, 5000));
        }
        QDir().rmdir(path);
    }
}

TEST(SingleInstance, AStartThatCannotClaimItsNameRunsOnAndSaysSoOnce)
{
    CTenwickApp::Options options;
    options.instanceName = UniqueName();
    options.serviceHost = ""; // start-up then ends at its next step
    const QString path = SocketPath(options.instanceName);
    ASSERT_TRUE(QDir().mkdir(path));
    test::SeamRecorder seam;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(CTenwickApp(options, seam).start());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(seam.messageTexts(), std::vector<std::string>{"无法连接服务器，请检查网络"});
    QDir().rmdir(path);
}

} // namespace
} // namespace qs::ui
