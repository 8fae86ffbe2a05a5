// The help window: its picture resource, its shape and place, and every way back to the entry window.
#include "frmhelp.h"

#include <QFile>
#include <QImage>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

using quorvale::frmHelp;

quint32 le32(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}
quint16 le16(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

TEST(HelpPicture, IsAnUncompressedBottomUp24BitBmpAt96Dpi)
{
    QFile file(frmHelp::picturePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bmp = file.readAll();

    ASSERT_EQ(bmp.size(), 783286);
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(le32(bmp, 2), 783286u);  // file size
    EXPECT_EQ(le32(bmp, 10), 54u);     // pixel data offset
    EXPECT_EQ(le32(bmp, 14), 40u);     // information header size
    EXPECT_EQ(le32(bmp, 18), 562u);    // width
    EXPECT_EQ(le32(bmp, 22), 464u);    // height, positive: bottom-up
    EXPECT_EQ(le16(bmp, 26), 1u);      // planes
    EXPECT_EQ(le16(bmp, 28), 24u);     // bits per pixel
    EXPECT_EQ(le32(bmp, 30), 0u);      // uncompressed
    EXPECT_EQ(le32(bmp, 34), 783232u); // pixel data: 1688 bytes a row
    EXPECT_EQ(le32(bmp, 38), 3780u);   // pixels per metre, across
    EXPECT_EQ(le32(bmp, 42), 3780u);   // and down
    EXPECT_EQ(le32(bmp, 46), 0u);      // no palette
}

class HelpWindow : public testing::Test {
protected:
    void SetUp() override
    {
        // The entry window is hidden while help shows, as its Help button leaves it.
        entry.show();
        entry.hide();
        help = new frmHelp(entry);
        help->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    }

    void TearDown() override { delete help.data(); }

    // True once the help window has closed, deleted itself and given the entry window back.
    bool backToEntry()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return help.isNull() && entry.isVisible();
    }

    QWidget entry;
    QPointer<frmHelp> help;
};

TEST_F(HelpWindow, IsBorderlessPictureSizedCentredAndWithoutControls)
{
    EXPECT_EQ(help->size(), QSize(562, 464));
    EXPECT_EQ(help->frameGeometry().size(), QSize(562, 464));
    EXPECT_TRUE(help->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(help->windowTitle(), "Form2");
    EXPECT_TRUE(help->findChildren<QWidget*>().isEmpty());

    const QRect screen = help->screen()->geometry();
    EXPECT_EQ(help->x() - screen.x(), (screen.width() - 562) / 2);
    EXPECT_EQ(help->y() - screen.y(), (screen.height() - 464) / 2);
}

TEST_F(HelpWindow, ShowsThePictureUnscaledAtTopLeft)
{
    const QImage shown = help->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage picture = QImage(frmHelp::picturePath()).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, picture);
}

class HelpWindowClick : public HelpWindow, public testing::WithParamInterface<QPoint> {};

TEST_P(HelpWindowClick, ClosesAndShowsTheEntryWindow)
{
    QTest::mouseClick(help, Qt::LeftButton, {}, GetParam());
    EXPECT_TRUE(backToEntry());
}

INSTANTIATE_TEST_SUITE_P(CornersAndMiddle, HelpWindowClick,
                         testing::Values(QPoint(0, 0), QPoint(561, 0), QPoint(0, 463), QPoint(561, 463),
                                         QPoint(281, 232)));

class HelpWindowButton : public HelpWindow, public testing::WithParamInterface<Qt::MouseButton> {};

TEST_P(HelpWindowButton, AnyMouseButtonCloses)
{
    QTest::mouseClick(help, GetParam(), {}, QPoint(281, 232));
    EXPECT_TRUE(backToEntry());
}

INSTANTIATE_TEST_SUITE_P(RightAndMiddle, HelpWindowButton, testing::Values(Qt::RightButton, Qt::MiddleButton));

TEST_F(HelpWindow, EscapeClosesAndShowsTheEntryWindow)
{
    help->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    QTest::keyClick(help->windowHandle(), Qt::Key_Escape);
    EXPECT_TRUE(backToEntry());
}

TEST_F(HelpWindow, ClosingItAnyOtherWayShowsTheEntryWindow)
{
    help->close();
    EXPECT_TRUE(backToEntry());
}

TEST_F(HelpWindow, AnotherKeyLeavesItOpen)
{
    QTest::keyClick(help, Qt::Key_A);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(help.isNull());
    EXPECT_FALSE(entry.isVisible());
}

} // namespace
