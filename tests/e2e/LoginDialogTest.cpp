#include "ui/app/CDlgLogin.h"

#include "core/BuildConfig.h"
#include "core/app/ClientSettings.h"
#include "server/DemoServer.h"
#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFolder.h"
#include "ui/app/VerificationPictureView.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace qs::ui {
namespace {

using server::DemoOptions;
using server::DemoServer;

DemoOptions TestOptions()
{
    DemoOptions options;
    options.requestPort = options.pushPort = options.klinePort = 0;
    options.fixedCode = "1234";
    options.historyBars = 50;
    options.tickPeriod = std::chrono::hours(1);
    return options;
}

class LoginDialogTest : public testing::Test {
protected:
    explicit LoginDialogTest(DemoOptions options = TestOptions())
        : m_server(options)
    {
        EXPECT_TRUE(m_server.start());
    }

    // Opens the dialog and waits for its first timer tick (update check and first picture).
    CDlgLogin &open()
    {
        m_dialog.emplace(m_server.endpoint(), m_session, DataFolder(m_temp.path()), m_seam);
        m_dialog->show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_server.requestCount(5) == 1; }, 5000));
        QTest::qWait(20);
        return *m_dialog;
    }

    template<class T>
    T *control(const char *name)
    {
        return m_dialog->findChild<T *>(QString::fromLatin1(name));
    }

    void type(const QString &name, const QString &password, const QString &code)
    {
        control<QLineEdit>("edit1014")->setText(name);
        control<QLineEdit>("edit1015")->setText(password);
        control<QLineEdit>("edit1017")->setText(code);
    }

    void clickLogin() { QTest::mouseClick(control<QPushButton>("button1016"), Qt::LeftButton); }

    std::string lastMessage() const
    {
        const auto texts = m_seam.messageTexts();
        return texts.empty() ? std::string() : texts.back();
    }

    DemoServer m_server;
    test::TempFolder m_temp;
    test::SeamRecorder m_seam;
    Session m_session;
    std::optional<CDlgLogin> m_dialog;
};

TEST_F(LoginDialogTest, OpensWithNameFocusedAndAPictureShown)
{
    ClientSettings stored;
    stored.setMemberName("测试会员");
    ASSERT_TRUE(stored.write(DataFolder(m_temp.path())));
    CDlgLogin &dialog = open();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("登录到Quillstar"));
    EXPECT_EQ(control<QLineEdit>("edit1014")->text(), QStringLiteral("测试会员"));
    EXPECT_EQ(dialog.focusWidget(), control<QLineEdit>("edit1014"));
    EXPECT_TRUE(m_seam.messages().empty()); // same version: no update prompt
    // The picture is not blank: the server drew its code into it.
    const QImage &image = control<VerificationPictureView>("picture1018")->image();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 1) << "expected digits in the picture";

    // Tab order: name, password, code, then the login button.
    QWidget *expected[] = {control<QLineEdit>("edit1015"), control<QLineEdit>("edit1017"),
                           control<QPushButton>("button1016")};
    QWidget *from = control<QLineEdit>("edit1014");
    for (QWidget *next : expected) {
        EXPECT_EQ(from->nextInFocusChain(), next);
        from = next;
    }
}

TEST_F(LoginDialogTest, EveryResultCodeGivesItsMessageFocusAndANewPicture)
{
    struct Case {
        const char *name;
        const char *password;
        const char *code;
        const char *message;
        const char *focus;
    };
    const Case cases[] = {
        {"demo", "demo", "9999", "验证码错误，请重新登录", "edit1017"},
        {"demo", "wrong", "1234", "用户名或密码错误，请重新登录", "edit1014"},
        {"suspended", "suspended", "1234", "用户状态异常，请联系客服", "edit1014"},
        {"expired", "expired", "1234", "用户状态异常，请联系客服", "edit1014"},
        {"blocked", "blocked", "1234", "用户状态异常，请联系客服", "edit1014"},
    };
    CDlgLogin &dialog = open();
    int pictures = 1;
    for (const Case &c : cases) {
        type(QString::fromUtf8(c.name), QString::fromUtf8(c.password), QString::fromUtf8(c.code));
        control<QLineEdit>("edit1015")->setFocus();
        clickLogin();
        EXPECT_EQ(lastMessage(), c.message) << c.name;
        EXPECT_EQ(dialog.focusWidget(), control<QWidget>(c.focus)) << c.name;
        EXPECT_EQ(m_server.requestCount(5), ++pictures) << c.name;
        EXPECT_FALSE(m_session.established());
        EXPECT_TRUE(dialog.isVisible());
    }
}

TEST_F(LoginDialogTest, SuccessStoresTheSessionAndTheName)
{
    CDlgLogin &dialog = open();
    const SessionToken shown = dialog.pendingToken();
    type(QStringLiteral("demo"), QStringLiteral("demo"), QStringLiteral("1234"));
    QTest::keyClick(control<QLineEdit>("edit1017"), Qt::Key_Return); // Enter logs in
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(m_session.established());
    EXPECT_EQ(m_session.memberLevel(), 8);
    EXPECT_EQ(m_session.memberName(), "demo");
    EXPECT_EQ(m_session.token(), shown);
    EXPECT_EQ(lastMessage(), ServiceNotice(8, 180, TodayLocal()));
    EXPECT_EQ(m_seam.messages().back().icon, MessageIcon::Information);
    EXPECT_EQ(ClientSettings::read(DataFolder(m_temp.path())).memberName(), "demo");
}

TEST_F(LoginDialogTest, ChineseMemberAndLevelOneNotices)
{
    CDlgLogin &dialog = open();
    type(QStringLiteral("free"), QStringLiteral("free"), QStringLiteral("1234"));
    clickLogin();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(lastMessage(), "您好！您现在使用的是免费信号延时服务！\n如需实时服务请升级成VIP会员");

    Session second;
    CDlgLogin other(m_server.endpoint(), second, DataFolder(m_temp.path()), m_seam);
    other.fetchPicture();
    other.findChild<QLineEdit *>(QStringLiteral("edit1014"))->setText(QStringLiteral("测试会员"));
    other.findChild<QLineEdit *>(QStringLiteral("edit1015"))->setText(QStringLiteral("123456"));
    other.findChild<QLineEdit *>(QStringLiteral("edit1017"))->setText(QStringLiteral("1234"));
    other.logIn();
    ASSERT_TRUE(second.established()) << lastMessage();
    EXPECT_EQ(second.memberName(), "测试会员");
    EXPECT_EQ(ClientSettings::read(DataFolder(m_temp.path())).memberName(), "测试会员");

    // Result 4 is a success like 1.
    Session third;
    CDlgLogin gold(m_server.endpoint(), third, DataFolder(m_temp.path()), m_seam);
    gold.fetchPicture();
    gold.findChild<QLineEdit *>(QStringLiteral("edit1014"))->setText(QStringLiteral("gold"));
    gold.findChild<QLineEdit *>(QStringLiteral("edit1015"))->setText(QStringLiteral("gold"));
    gold.findChild<QLineEdit *>(QStringLiteral("edit1017"))->setText(QStringLiteral("1234"));
    gold.logIn();
    EXPECT_EQ(gold.result(), QDialog::Accepted);
    EXPECT_TRUE(third.established());
    EXPECT_EQ(third.memberLevel(), 4);
}

TEST_F(LoginDialogTest, BadFormsSendNothing)
{
    CDlgLogin &dialog = open();
    type(QString(), QStringLiteral("demo"), QStringLiteral("1234"));
    clickLogin();
    EXPECT_EQ(lastMessage(), "请填写会员名");
    EXPECT_EQ(dialog.focusWidget(), control<QLineEdit>("edit1014"));

    type(QStringLiteral("demo"), QString(), QStringLiteral("1234"));
    clickLogin();
    EXPECT_EQ(lastMessage(), "请填写密码");
    EXPECT_EQ(dialog.focusWidget(), control<QLineEdit>("edit1015"));

    // Four double-byte characters are eight bytes: refused, with a new picture.
    type(QStringLiteral("demo"), QStringLiteral("demo"), QStringLiteral("一二三四"));
    clickLogin();
    EXPECT_EQ(lastMessage(), "请填写正确的验证码");
    EXPECT_EQ(dialog.focusWidget(), control<QLineEdit>("edit1017"));
    EXPECT_EQ(m_server.requestCount(5), 2);

    EXPECT_EQ(m_server.requestCount(6), 0);
    for (const auto &message : m_seam.messages())
        EXPECT_EQ(message.icon, MessageIcon::Information);
}

TEST_F(LoginDialogTest, ReplyThatBreaksOffFetchesNoNewPicture)
{
    CDlgLogin &dialog = open();
    m_server.closeInReply(6);
    type(QStringLiteral("demo"), QStringLiteral("demo"), QStringLiteral("1234"));
    clickLogin();
    EXPECT_EQ(lastMessage(), "登录请求失败，操作已取消");
    EXPECT_EQ(m_server.requestCount(5), 1);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(m_session.established());
}

TEST_F(LoginDialogTest, FailedPictureFetchKeepsTheOldPicture)
{
    CDlgLogin &dialog = open();
    const QImage before = control<VerificationPictureView>("picture1018")->image();
    const VerificationPicture old = dialog.picture();
    m_server.stop();
    QTest::mouseClick(control<QPushButton>("button1019"), Qt::LeftButton);
    EXPECT_EQ(lastMessage(), "无法连接服务器，操作已取消");
    EXPECT_EQ(dialog.picture().bytes, old.bytes);
    EXPECT_EQ(control<VerificationPictureView>("picture1018")->image(), before);
}

class UpdatePromptTest : public LoginDialogTest {
protected:
    static DemoOptions NewerVersion()
    {
        DemoOptions options = TestOptions();
        options.clientVersion = kClientVersion + 1;
        return options;
    }
    UpdatePromptTest()
        : LoginDialogTest(NewerVersion())
    {}
};

TEST_F(UpdatePromptTest, YesOpensTheRootPageAndEnds)
{
    m_seam.answerWith(MessageResult::Yes);
    m_dialog.emplace(m_server.endpoint(), m_session, DataFolder(m_temp.path()), m_seam);
    m_dialog->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_dialog->isVisible(); }, 5000));
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_EQ(lastMessage(), "检测到软件更新，是否现在下载？");
    EXPECT_EQ(m_seam.webPages(), std::vector<std::string>{build::kWebSite});
    EXPECT_EQ(m_server.requestCount(5), 0);
}

TEST_F(UpdatePromptTest, NoGoesOnToThePicture)
{
    m_seam.answerWith(MessageResult::No);
    open();
    EXPECT_EQ(m_seam.messageTexts(), std::vector<std::string>{"检测到软件更新，是否现在下载？"});
    EXPECT_TRUE(m_dialog->isVisible());
}

} // namespace
} // namespace qs::ui
