#include "ui/app/CTenwickApp.h"

#include "core/app/ClientSession.h"
#include "core/platform/DataFolder.h"
#include "core/platform/MachineIdentity.h"
#include "core/platform/SupportLog.h"
#include "server/DemoServer.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"
#include "ui/CommandIds.h"
#include "ui/app/CChildView.h"
#include "ui/app/CMainFrame.h"
#include "ui/app/SingleInstance.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace qs::ui {
namespace {

QString UniqueInstanceName()
{
    static int counter = 0;
    return QStringLiteral("quillstar-test-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

server::DemoOptions Options()
{
    server::DemoOptions options;
    options.requestPort = options.pushPort = options.klinePort = 0;
    options.fixedCode = "1234";
    options.historyBars = 50;
    options.tickPeriod = std::chrono::hours(1);
    return options;
}

CTenwickApp::Options AppOptions(const server::DemoServer &server, const test::TempFolder &temp)
{
    CTenwickApp::Options options;
    options.serviceHost = "127.0.0.1";
    options.endpoint = server.endpoint();
    options.folder = DataFolder(temp.path());
    options.instanceName = UniqueInstanceName();
    return options;
}

// Answers the login dialog once it is up: either logs in or presses 取消.
void AnswerLogin(bool logIn)
{
    QTimer::singleShot(300, [logIn] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->objectName() != QStringLiteral("CDlgLogin") || !top->isVisible())
                continue;
            if (!logIn) {
                top->findChild<QPushButton *>(QStringLiteral("button1001"))->click();
                return;
            }
            top->findChild<QLineEdit *>(QStringLiteral("edit1014"))
                ->setText(QStringLiteral("demo"));
            top->findChild<QLineEdit *>(QStringLiteral("edit1015"))
                ->setText(QStringLiteral("demo"));
            top->findChild<QLineEdit *>(QStringLiteral("edit1017"))
                ->setText(QStringLiteral("1234"));
            top->findChild<QPushButton *>(QStringLiteral("button1016"))->click();
            return;
        }
        ADD_FAILURE() << "no login dialog";
    });
}

TEST(CTenwickApp, LoginLeadsToTheMainFrame)
{
    server::DemoServer server(Options());
    ASSERT_TRUE(server.start());
    test::TempFolder temp;
    test::SeamRecorder seam;
    CTenwickApp app(AppOptions(server, temp), seam);
    AnswerLogin(true);
    ASSERT_TRUE(app.start());
    ASSERT_NE(app.mainFrame(), nullptr);
    EXPECT_TRUE(app.mainFrame()->isVisible());
    EXPECT_TRUE(app.session().established());
    EXPECT_EQ(app.session().memberName(), "demo");

    // Restart: the push channel is closed first, then the window, then the new program starts.
    const ClientSession *client = app.clientSession();
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->pushChannelOpen(); }, 10000));
    bool pushOpenAtStart = true;
    bool frameVisibleAtStart = true;
    app.setProgramStarter([&] {
        pushOpenAtStart = client->pushChannelOpen();
        frameVisibleAtStart = app.mainFrame()->isVisible();
    });
    app.restart();
    EXPECT_FALSE(pushOpenAtStart);
    EXPECT_FALSE(frameVisibleAtStart);
}

// A run through the real login dialog leaves a log a member can send: the push channel and the
// history download are in it, and neither the password, the code, the token nor the machine.
TEST(CTenwickApp, TheSupportLogTellsTheRunAndKeepsNoSecrets)
{
    server::DemoServer server(Options());
    ASSERT_TRUE(server.start());
    test::TempFolder temp;
    const std::filesystem::path logs = temp.path() / "logs";
    SupportLog::open(logs);
    test::SeamRecorder seam;
    {
        CTenwickApp app(AppOptions(server, temp), seam);
        AnswerLogin(true);
        ASSERT_TRUE(app.start());
        const ClientSession *client = app.clientSession();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return client->pushChannelOpen() && client->view().historyLoaded(); }, 10000));
        app.mainFrame()->onCommand(command::kOpenLogFolder);
        EXPECT_EQ(seam.webPages(), std::vector<std::string>{
                                       QUrl::fromLocalFile(QString::fromStdString(logs.string()))
                                           .toString()
                                           .toStdString()});
        std::vector<std::string> secrets{"demo", AdapterAddressText(), ProcessorIdText()};
        for (const std::int32_t value : app.session().token().values)
            secrets.push_back(std::to_string(value));
        SupportLog::close();

        std::string log;
        ReadWholeFile(logs / "quillstar.log", log);
        EXPECT_NE(log.find(" push-connected port="), std::string::npos) << log;
        EXPECT_NE(log.find(" kline product="), std::string::npos) << log;
        for (const std::string &secret : secrets) {
            if (secret.size() >= 4) {
                EXPECT_EQ(log.find(secret), std::string::npos) << secret << " in\n" << log;
            }
        }
        EXPECT_FALSE(std::regex_search(log, std::regex(R"(\b1234\b)"))) << log;
    }
}

TEST(CTenwickApp, CancelledLoginEndsWithoutAFrame)
{
    server::DemoServer server(Options());
    ASSERT_TRUE(server.start());
    test::TempFolder temp;
    test::SeamRecorder seam;
    CTenwickApp app(AppOptions(server, temp), seam);
    AnswerLogin(false);
    EXPECT_FALSE(app.start());
    EXPECT_EQ(app.mainFrame(), nullptr);
    EXPECT_EQ(server.requestCount(6), 0);
}

TEST(CTenwickApp, UnresolvableHostEndsWithItsMessage)
{
    server::DemoServer server(Options());
    ASSERT_TRUE(server.start());
    test::TempFolder temp;
    test::SeamRecorder seam;
    CTenwickApp::Options options = AppOptions(server, temp);
    options.serviceHost = "";
    CTenwickApp app(options, seam);
    EXPECT_FALSE(app.start());
    EXPECT_EQ(seam.messageTexts(), std::vector<std::string>{"无法连接服务器，请检查网络"});
    EXPECT_EQ(server.requestCount(5), 0);
}

TEST(SingleInstance, ASecondStartRaisesTheFirstAndEnds)
{
    const QString name = UniqueInstanceName();
    SingleInstance first(name);
    int raised = 0;
    ASSERT_TRUE(first.claim([&raised] { ++raised; }));

    // The second start blocks while it asks, so it runs where the first's event loop is free.
    std::atomic<int> answered{-1};
    std::thread second([&] {
        SingleInstance asking(name);
        answered = asking.askRunningInstance() ? 1 : 0;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered != -1; }, 5000));
    second.join();
    EXPECT_EQ(answered, 1);
    EXPECT_EQ(raised, 1);

    // Once the first gives its name up, a new start runs normally.
    first.release();
    SingleInstance later(name);
    EXPECT_FALSE(later.askRunningInstance());
    EXPECT_TRUE(later.claim([] {}));
}

} // namespace
} // namespace qs::ui
