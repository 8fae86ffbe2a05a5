// The real message box behind every prompt: icon, buttons, default button, line breaks, and the
// keys that answer it; and the time limit of the helper that drives it.
#include "qtplatform.h"
#include "whenup.h"

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

using namespace quorvale;
using test::whenUp;

const Message Question{"RunChart --- PDF --- file is done.\r\rDo you want to open the file?", "Quorvale",
                       MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No};

// Shows message through QtPlatform; act runs on the box once it is up and answers it.
MessageAnswer shown(const Message& message, std::function<void(QMessageBox*)> act)
{
    bool up = false;
    whenUp<QMessageBox>([&](QMessageBox* box) {
        up = true;
        act(box);
    });
    const MessageAnswer answer = QtPlatform().showMessage(nullptr, message);
    EXPECT_TRUE(up);
    return answer;
}

void press(QMessageBox* box, Qt::Key key)
{
    QTest::keyClick(box, key);
}

TEST(QtMessageBox, AQuestionShowsYesAndNoWithItsDefaultAndCarriageReturnsAsLineBreaks)
{
    const MessageAnswer escaped = shown(Question, [](QMessageBox* box) {
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->windowTitle(), "Quorvale");
        EXPECT_EQ(box->text(), "RunChart --- PDF --- file is done.\n\nDo you want to open the file?");
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        press(box, Qt::Key_Escape);
    });
    EXPECT_EQ(escaped, MessageAnswer::No);
    EXPECT_EQ(shown(Question, [](QMessageBox* box) { press(box, Qt::Key_Return); }), MessageAnswer::No);
    EXPECT_EQ(shown(Question, [](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); }), MessageAnswer::Yes);

    Message yesFirst = Question;
    yesFirst.defaultButton = MessageAnswer::Yes;
    EXPECT_EQ(shown(yesFirst, [](QMessageBox* box) { press(box, Qt::Key_Return); }), MessageAnswer::Yes);
    EXPECT_EQ(shown(yesFirst, [](QMessageBox* box) { press(box, Qt::Key_Escape); }), MessageAnswer::No);
}

TEST(QtMessageBox, AThreeWayQuestionShowsItsOwnCaptionsAndEscapeCancels)
{
    Message choice{"Start a new run?", "Quorvale", MessageIcon::Question, MessageButtons::YesNoCancel,
                   MessageAnswer::Yes};
    choice.yesText = "Start a new run with this record";
    choice.noText = "Change this run's record";
    EXPECT_EQ(shown(choice,
                    [](QMessageBox* box) {
                        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
                        EXPECT_EQ(box->button(QMessageBox::Yes)->text(), "Start a new run with this record");
                        EXPECT_EQ(box->button(QMessageBox::No)->text(), "Change this run's record");
                        press(box, Qt::Key_Return);
                    }),
              MessageAnswer::Yes);
    EXPECT_EQ(shown(choice, [](QMessageBox* box) { press(box, Qt::Key_Escape); }), MessageAnswer::Cancel);
    EXPECT_EQ(shown(choice, [](QMessageBox* box) { box->button(QMessageBox::No)->click(); }), MessageAnswer::No);
}

TEST(QtMessageBox, AWarningShowsOkOnlyAndEscapeAnswersOk)
{
    const Message warning{"Please specify RunChart file name.", "Quorvale", MessageIcon::Warning};
    const MessageAnswer escaped = shown(warning, [](QMessageBox* box) {
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->text(), "Please specify RunChart file name.");
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Ok));
        press(box, Qt::Key_Escape);
    });
    EXPECT_EQ(escaped, MessageAnswer::Ok);

    const Message plain{"Unable to Create Excel File.", "Quorvale v1.0"};
    EXPECT_EQ(shown(plain,
                    [](QMessageBox* box) {
                        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
                        press(box, Qt::Key_Return);
                    }),
              MessageAnswer::Ok);
}

// A dialog is up, but never the message box the test waits for.
void waitForAMessageBoxThatNeverComes()
{
    QDialog dialog;
    whenUp<QMessageBox>([](QMessageBox*) {}, QDeadlineTimer(200));
    dialog.exec();
}

TEST(WhenUp, AWindowThatNeverComesUpFailsTheTestInsteadOfHangingIt)
{
    EXPECT_NONFATAL_FAILURE(waitForAMessageBoxThatNeverComes(), "no QMessageBox came up in time");
}

} // namespace
