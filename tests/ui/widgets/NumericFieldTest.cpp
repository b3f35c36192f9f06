#include "ui/widgets/CFloatNumberEdit.h"
#include "ui/widgets/MySpinButtonCtrl.h"

#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace qs::ui {
namespace {

TEST(FloatNumberEdit, ReadRewritesTypedNumberWithItsDecimals)
{
    CFloatNumberEdit edit;
    edit.setDigits(2);
    edit.clear();
    QTest::keyClicks(&edit, QStringLiteral("1.5"));
    EXPECT_EQ(edit.readWholeUnits(), 150);
    EXPECT_EQ(edit.text(), QStringLiteral("1.50"));
}

TEST(FloatNumberEdit, ShowsWholeUnitsAsDecimal)
{
    struct Row {
        int digits;
        const char *units;
        const char *shown;
    };
    for (const Row &row : {Row{2, "176530", "1765.30"}, Row{3, "1.7653e+06", "1765.300"},
                           Row{4, "7", "0.0007"}, Row{0, "42", "42"}, Row{2, "abc", "0.00"}}) {
        CFloatNumberEdit edit;
        edit.setDigits(row.digits);
        edit.setUnitsText(QString::fromLatin1(row.units));
        EXPECT_EQ(edit.text(), QString::fromLatin1(row.shown)) << row.units;
        // Whatever is shown must fit the field.
        EXPECT_LE(edit.fontMetrics().horizontalAdvance(edit.text()), edit.minimumWidth());
    }
}

TEST(FloatNumberEdit, ChangingDigitsKeepsTheWholeNumber)
{
    CFloatNumberEdit edit;
    edit.setDigits(2);
    edit.setUnitsText(QStringLiteral("176530"));
    edit.setDigits(3);
    EXPECT_EQ(edit.text(), QStringLiteral("176.530"));

    CFloatNumberEdit empty;
    empty.setDigits(3);
    EXPECT_EQ(empty.text(), QStringLiteral("0.000"));
}

TEST(FloatNumberEdit, ReadRoundsHalvesAwayFromZero)
{
    struct Row {
        int digits;
        const char *typed;
        qint64 whole;
    };
    for (const Row &row : {Row{2, "0.125", 13}, Row{2, "-0.125", -13}, Row{2, "-0.005", -1},
                           Row{0, "2.5", 3}, Row{0, "-2.5", -3}, Row{2, "0.124", 12}}) {
        CFloatNumberEdit edit;
        edit.setDigits(row.digits);
        edit.setText(QString::fromLatin1(row.typed));
        EXPECT_EQ(edit.readWholeUnits(), row.whole) << row.typed;
    }
}

TEST(FloatNumberEdit, ValueIsZeroForTextThatIsNoFiniteNumber)
{
    CFloatNumberEdit edit;
    for (const char *text : {"", "abc", "inf", "nan", "1e999"}) {
        edit.setText(QString::fromLatin1(text));
        EXPECT_EQ(edit.value(), 0.0) << text;
    }
    edit.setText(QStringLiteral(" 0.3 手"));
    EXPECT_DOUBLE_EQ(edit.value(), 0.3);
}

QToolButton *Arrow(const MySpinButtonCtrl &spin, const QString &name)
{
    for (QToolButton *button : spin.findChildren<QToolButton *>()) {
        if (button->accessibleName() == name)
            return button;
    }
    return nullptr;
}

TEST(SpinButton, ClicksMoveTheBuddyByStepWithinTheRange)
{
    struct Row {
        int digits;
        int step;
        qint64 lower;
        qint64 upper;
        const char *start;
        const char *button;
        const char *after;
    };
    // Lots at 2 digits with a lot step of 10 between 0.01 and 0.30, then a 2-digit price.
    for (const Row &row :
         {Row{2, 10, 1, 30, "0.10", "增加", "0.20"}, Row{2, 10, 1, 30, "0.25", "增加", "0.30"},
          Row{2, 10, 1, 30, "0.30", "增加", "0.30"}, Row{2, 10, 1, 30, "0.05", "减少", "0.01"},
          Row{2, 10, 1, 30, "0.90", "减少", "0.30"},
          Row{2, 1, 0, 2147483647, "1765.30", "增加", "1765.31"},
          Row{2, 1, 0, 2147483647, "1765.30", "减少", "1765.29"}}) {
        CFloatNumberEdit edit;
        edit.setDigits(row.digits);
        MySpinButtonCtrl spin;
        spin.setBuddy(&edit);
        spin.setRange(row.lower, row.upper);
        spin.setStep(row.step);
        edit.setText(QString::fromUtf8(row.start));
        QToolButton *button = Arrow(spin, QString::fromUtf8(row.button));
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(edit.text(), QString::fromLatin1(row.after)) << row.start << " " << row.button;
    }
}

TEST(SpinButton, ArrowKeysInTheBuddyStep)
{
    CFloatNumberEdit edit;
    edit.setDigits(2);
    MySpinButtonCtrl spin;
    spin.setBuddy(&edit);
    spin.setStep(10);
    edit.setUnitsText(QStringLiteral("10"));
    int steps = 0;
    QObject::connect(&spin, &MySpinButtonCtrl::stepped, [&steps] { ++steps; });

    QTest::keyClick(&edit, Qt::Key_Up);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), QStringLiteral("0.30"));
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.text(), QStringLiteral("0.20"));
    EXPECT_EQ(steps, 3);
}

} // namespace
} // namespace qs::ui
