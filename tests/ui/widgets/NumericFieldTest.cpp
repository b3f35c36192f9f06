#include "ui/widgets/MySpinButtonCtrl.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace qs::ui {
namespace {

TEST(FloatNumberEdit, ShowsWholeUnitsAsDecimalThatFitsTheField)
{
    struct Row {
        int digits;
        const char *units, *shown;
    };
    for (const Row &row : {Row{2, "176530", "1765.30"}, Row{3, "1.7653e+06", "1765.300"},
                           Row{4, "7", "0.0007"}, Row{0, "42", "42"}, Row{2, "abc", "0.00"},
                           Row{2, "nan", "0.00"}, Row{2, "1e999", "0.00"}}) {
        CFloatNumberEdit edit;
        edit.setDigits(row.digits);
        edit.setUnitsText(QString::fromLatin1(row.units));
        EXPECT_EQ(edit.text(), QString::fromLatin1(row.shown)) << row.units;
        EXPECT_LE(edit.fontMetrics().horizontalAdvance(edit.text()), edit.minimumWidth());
    }
}

TEST(FloatNumberEdit, ChangingDigitsKeepsTheWholeNumber)
{
    CFloatNumberEdit edit, empty;
    edit.setDigits(2);
    edit.setUnitsText(QStringLiteral("176530"));
    edit.setDigits(3);
    EXPECT_EQ(edit.text(), QStringLiteral("176.530"));
    empty.setDigits(3);
    EXPECT_EQ(empty.text(), QStringLiteral("0.000"));
}

TEST(FloatNumberEdit, ReadGivesNearestWholeUnitsAndRewritesTheDecimals)
{
    struct Row {
        int digits;
        const char *typed;
        qint64 whole;
        const char *shown;
    };
    for (const Row &row :
         {Row{2, "1.5", 150, "1.50"}, Row{2, "0.125", 13, "0.12"}, Row{2, "-0.125", -13, "-0.12"},
          Row{2, "-0.005", -1, "-0.01"}, Row{0, "-2.5", -3, "-2"}, Row{2, "0.124", 12, "0.12"}}) {
        CFloatNumberEdit edit;
        edit.setAllowsNegative(true);
        edit.setDigits(row.digits);
        edit.clear();
        QTest::keyClicks(&edit, QString::fromLatin1(row.typed));
        EXPECT_EQ(edit.readWholeUnits(), row.whole) << row.typed;
        EXPECT_EQ(edit.text(), QString::fromLatin1(row.shown)) << row.typed;
    }
}

// Typed key by key or pasted whole into an empty field; a paste that makes no number is refused.
TEST(FloatNumberEdit, TypingAndPastingKeepOnlyWhatMakesANumber)
{
    struct Row {
        bool negatives; // the slippage field
        bool paste;
        const char *input, *shown;
    };
    for (const Row &row :
         {Row{false, false, "1700abc", "1700"}, Row{false, true, "1700abc", ""},
          Row{false, false, "1,700.00", "1700.00"}, Row{false, true, "1,700.00", ""},
          Row{false, false, "-0.5", "0.5"}, Row{false, true, "-0.5", ""},
          Row{false, false, "1.2.3", "1.23"}, Row{false, true, "1765.30", "1765.30"},
          Row{false, true, "\uFF11\uFF12", ""}, Row{true, false, "-0.5", "-0.5"},
          Row{true, true, "-0.5", "-0.5"}, Row{true, false, "1-2", "12"},
          Row{true, true, "1,700.00", ""}, Row{true, false, "1700abc", "1700"}}) {
        CFloatNumberEdit edit;
        edit.setAllowsNegative(row.negatives);
        edit.setDigits(2);
        edit.clear();
        const QString input = QString::fromUtf8(row.input);
        if (row.paste) {
            QApplication::clipboard()->setText(input);
            edit.paste();
        } else {
            QTest::keyClicks(&edit, input);
        }
        EXPECT_EQ(edit.text(), QString::fromUtf8(row.shown)) << row.input << ' ' << row.paste;
    }
}

TEST(SpinButton, ClicksMoveTheBuddyByStepWithinTheRange)
{
    struct Row {
        int step;
        qint64 upper;
        const char *start, *button, *after;
    };
    // Lots at 2 digits, lot step 10, 0.01..0.30; then a 2-digit price with one unit per click.
    for (const Row &row : {Row{10, 30, "0.10", "增加", "0.20"}, Row{10, 30, "0.25", "增加", "0.30"},
                           Row{10, 30, "0.05", "减少", "0.01"}, Row{10, 30, "0.90", "减少", "0.30"},
                           Row{1, 2147483647, "1765.30", "增加", "1765.31"},
                           Row{1, 2147483647, "1765.30", "减少", "1765.29"}}) {
        CFloatNumberEdit edit;
        edit.setDigits(2);
        MySpinButtonCtrl spin;
        spin.setBuddy(&edit);
        spin.setRange(1, row.upper);
        spin.setStep(row.step);
        edit.setText(QString::fromUtf8(row.start));
        QToolButton *button = nullptr;
        for (QToolButton *arrow : spin.findChildren<QToolButton *>())
            button = arrow->accessibleName() == QString::fromUtf8(row.button) ? arrow : button;
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
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.text(), QStringLiteral("0.20"));
    EXPECT_EQ(steps, 3);
}

} // namespace
} // namespace qs::ui
