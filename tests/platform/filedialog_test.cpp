// The real Save As and Open dialogs: default suffix, the create and overwrite prompts, long paths, filters.
#include "filefilter.h"
#include "qtplatform.h"
#include "whenup.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using namespace quorvale;

using test::whenUp;

// Presses the dialog's Save or Open button, as the user does.
void confirm(QFileDialog* dialog)
{
    auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
    buttons->button(dialog->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save : QDialogButtonBox::Open)
        ->click();
}

void typeAndSave(QFileDialog* dialog, const QString& name)
{
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    confirm(dialog);
}

void answer(QMessageBox* box, QMessageBox::StandardButton button)
{
    box->button(button)->click();
}

class SaveDialog : public testing::Test {
protected:
    QString save()
    {
        return platform.saveFileName(
            nullptr, {"Save PDF As", "Portable Document Format files (*.pdf)|*.pdf", folder.path(), {}, "pdf"});
    }

    QTemporaryDir folder;
    QtPlatform platform;
};

TEST_F(SaveDialog, ANewNameIsConfirmedAndGetsTheDefaultSuffix)
{
    QStringList asked;
    bool stillOpenAfterNo = false;
    whenUp<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Save PDF As");
        EXPECT_EQ(dialog->nameFilters(), QStringList{"Portable Document Format files (*.pdf)"});
        whenUp<QMessageBox>([&, dialog](QMessageBox* box) {
            asked << box->text();
            answer(box, QMessageBox::No);
            // No keeps the dialog open; the second try is answered Yes.
            QTimer::singleShot(10, [&, dialog] {
                stillOpenAfterNo = dialog->isVisible();
                whenUp<QMessageBox>([&](QMessageBox* again) {
                    asked << again->text();
                    answer(again, QMessageBox::Yes);
                });
                confirm(dialog);
            });
        });
        typeAndSave(dialog, "bracket");
    });
    EXPECT_EQ(save(), folder.filePath("bracket.pdf"));
    EXPECT_TRUE(stillOpenAfterNo);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[0].contains("bracket.pdf")) << asked[0].toStdString();
    EXPECT_FALSE(QFile::exists(folder.filePath("bracket.pdf"))); // the dialog only names the file
}

TEST_F(SaveDialog, AnExistingFileIsReplacedOnlyAfterAsking)
{
    QFile existing(folder.filePath("old.pdf"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("x");
    existing.close();

    QString asked;
    whenUp<QFileDialog>([&](QFileDialog* dialog) {
        whenUp<QMessageBox>([&](QMessageBox* box) {
            asked = box->text();
            answer(box, QMessageBox::Yes);
        });
        typeAndSave(dialog, "old.pdf");
    });
    EXPECT_EQ(save(), folder.filePath("old.pdf"));
    EXPECT_TRUE(asked.contains("already exists")) << asked.toStdString();
}

// Qt's widget dialog reads double quotes as a list of names; a typed name is one name.
TEST_F(SaveDialog, ANameWithADoubleQuoteIsTakenWhole)
{
    QStringList asked;
    const auto typeConfirmed = [&](const QString& name, QMessageBox::StandardButton reply) {
        whenUp<QFileDialog>([&, name, reply](QFileDialog* dialog) {
            whenUp<QMessageBox>([&, reply](QMessageBox* box) {
                asked << box->text();
                answer(box, reply);
            });
            typeAndSave(dialog, name);
        });
        return save();
    };
    EXPECT_EQ(typeConfirmed("we\"ird.pdf", QMessageBox::Yes), folder.filePath("we\"ird.pdf"));
    EXPECT_EQ(typeConfirmed("\"quoted\"", QMessageBox::Yes), folder.filePath("\"quoted\".pdf"));
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0], "we\"ird.pdf does not exist.\nDo you want to create it?");

    QFile existing(folder.filePath("we\"ird.pdf"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    bool stillOpenAfterNo = false;
    whenUp<QFileDialog>([&](QFileDialog* dialog) {
        whenUp<QMessageBox>([&, dialog](QMessageBox* box) {
            asked << box->text();
            answer(box, QMessageBox::No);
            QTimer::singleShot(10, [&, dialog] {
                stillOpenAfterNo = dialog->isVisible();
                dialog->reject();
            });
        });
        typeAndSave(dialog, "we\"ird.pdf");
    });
    EXPECT_TRUE(save().isEmpty());
    EXPECT_TRUE(stillOpenAfterNo);
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked[2], "we\"ird.pdf already exists.\nDo you want to replace it?");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"we\"ird.pdf"});
}

TEST_F(SaveDialog, CancelGivesNothing)
{
    whenUp<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_TRUE(save().isEmpty());
}

TEST_F(SaveDialog, LongPathsAreTakenWhole)
{
    QString deep = folder.path();
    while (deep.size() < 300)
        deep += "/" + QString(60, u'd');
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString chosen = deep + "/" + QString(100, u'n') + ".pdf";
    whenUp<QFileDialog>([&](QFileDialog* dialog) {
        whenUp<QMessageBox>([](QMessageBox* box) { answer(box, QMessageBox::Yes); });
        typeAndSave(dialog, chosen);
    });
    EXPECT_EQ(save(), chosen);
}

TEST(OpenDialog, OpensAnExistingFileWithoutPrompts)
{
    QTemporaryDir folder;
    QFile existing(folder.filePath("old.pdf"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    whenUp<QFileDialog>([](QFileDialog* dialog) { typeAndSave(dialog, "old.pdf"); });
    QtPlatform platform;
    EXPECT_EQ(platform.openFileName(nullptr, {"Open", "PDF|*.pdf", folder.path(), {}, {}}), folder.filePath("old.pdf"));
}

TEST(FileFilter, PairsBecomeQtNameFilters)
{
    EXPECT_EQ(qtNameFilters("Portable Document Format files (*.pdf)|*.pdf"),
              QStringList{"Portable Document Format files (*.pdf)"});
    EXPECT_EQ(qtNameFilters("Portable Document Format files (*.pdf)|*.pdf|"),
              QStringList{"Portable Document Format files (*.pdf)"});
    EXPECT_EQ(qtNameFilters("Text|*.txt;*.log|All files|*.*"), (QStringList{"Text (*.txt *.log)", "All files (*.*)"}));
}

} // namespace
