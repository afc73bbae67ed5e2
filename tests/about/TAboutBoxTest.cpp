#include "TAboutBox.h"

#include "DesktopShell.h"
#include "ErrorBoxCatcher.h"
#include "QtPrinters.h"
#include "TZuVersInfo.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstring>

namespace {

// Notes what would have been opened.
class RecordingShell : public DesktopShell
{
public:
    void open(const QString &address) override { opened << address; }

    QStringList opened;
};

class TAboutBoxTest : public testing::Test
{
protected:
    TAboutBoxTest()
    {
        QCoreApplication::setApplicationName(QStringLiteral("qarvo"));
        m_mainWindow.move(300, 200);
        m_mainWindow.show();
    }

    // The box is placed again whenever it becomes the active window.
    void activate(QWidget &window)
    {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QWidget m_mainWindow;
    TZuVersInfo m_versionInfo; // the running test carries the program's version resource
    RecordingShell m_shell;
    TAboutBox m_box{m_versionInfo, m_mainWindow, m_shell};
};

TEST_F(TAboutBoxTest, ShowsTheProgramsVersionAndTheMakersAddresses)
{
    EXPECT_EQ(m_box.windowTitle(), "バージョン情報");
    EXPECT_EQ(m_box.ProductName->text(), "qarvo");
    EXPECT_TRUE(m_box.ProductName->font().bold());
    EXPECT_EQ(m_box.Version->text(), "Version 0.1.1.0");
    EXPECT_EQ(m_box.Copyright->text(), "Copyright (C) 2026 the qarvo developers");
    EXPECT_EQ(m_box.Comment1->text(), "mailto:qarvo@example.org");
    EXPECT_EQ(m_box.Comment2->text(), "https://example.org/qarvo/");
    EXPECT_EQ(m_box.ProgramIcon->pixmap().size(), QSize(32, 32));
}

TEST_F(TAboutBoxTest, IsAsWideAsTheCopyrightLineAndFortyPixels)
{
    const QRect ok = m_box.OKButton->geometry();

    EXPECT_EQ(m_box.Copyright->width(), m_box.Copyright->sizeHint().width());
    EXPECT_EQ(m_box.width(), m_box.Copyright->width() + 40);
    EXPECT_EQ(m_box.height(), 147);
    EXPECT_EQ(m_box.width() - ok.x() - ok.width(), 15);
    EXPECT_EQ(ok.y(), 116);
    EXPECT_EQ(m_box.minimumSize(), m_box.maximumSize()) << "the user cannot resize it";
}

TEST_F(TAboutBoxTest, LinkCaptionsSitLeftOfTheirFields)
{
    m_box.show();
    m_box.Comment2->move(100, 90);
    m_box.Comment1->EditLabel()->setText(QStringLiteral("e-mail address :"));
    m_box.Comment1->EditLabel()->adjustSize();
    QCoreApplication::processEvents();

    for (LinkField *field : {m_box.Comment1, m_box.Comment2}) {
        const QRect label = field->EditLabel()->geometry();
        EXPECT_EQ(label.right() + 1 + LinkField::kLabelSpacing, field->x())
            << field->labelText().toStdString();
        EXPECT_EQ(label.y(), field->y() + (field->height() - label.height()) / 2);
    }
    EXPECT_EQ(m_box.Comment2->labelText(), "url :");
}

TEST_F(TAboutBoxTest, LinkFieldsHoldALineOfTheirUnderlinedFont)
{
    m_box.show();

    for (LinkField *field : {m_box.Comment1, m_box.Comment2}) {
        EXPECT_TRUE(field->font().underline());
        EXPECT_GE(field->height(), field->fontMetrics().height() + 2);
        EXPECT_EQ(field->width(), 185);
    }
}

TEST_F(TAboutBoxTest, LinkFieldsAreSkippedByTab)
{
    EXPECT_TRUE(m_box.OKButton->isDefault());
    EXPECT_EQ(m_box.Comment1->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(m_box.Comment2->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(m_box.Comment1->isReadOnly());
}

TEST_F(TAboutBoxTest, DoubleClickOpensTheFieldsWholeText)
{
    m_box.show();

    QTest::mouseDClick(m_box.Comment1, Qt::LeftButton);
    QTest::mouseDClick(m_box.Comment2, Qt::LeftButton);

    EXPECT_EQ(m_shell.opened,
              (QStringList{"mailto:qarvo@example.org", "https://example.org/qarvo/"}));
}

TEST_F(TAboutBoxTest, EnterClosesItWithOkAndEscDoesNothing)
{
    bool openAfterEscape = false;
    QTimer::singleShot(0, [&] {
        QTest::keyClick(&m_box, Qt::Key_Escape);
        openAfterEscape = m_box.isVisible();
        QTest::keyClick(&m_box, Qt::Key_Return);
        if (m_box.isVisible())
            m_box.done(-1);
    });

    const int result = m_box.exec();

    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST_F(TAboutBoxTest, EveryActivationPutsItBesideTheMainWindowsCorner)
{
    m_box.show();
    activate(m_box);
    const QPoint first = m_box.pos();
    m_box.move(10, 10);
    m_mainWindow.move(350, 260);
    activate(m_mainWindow);

    activate(m_box);

    EXPECT_EQ(first, QPoint(316, 216));
    EXPECT_EQ(m_box.pos(), QPoint(366, 276));
}

TEST(TAboutBox, AFailedQueryLeavesTheLaidOutTextsAndWidth)
{
    QWidget mainWindow;
    TZuVersInfo versionInfo;
    versionInfo.SetFileName(WITHOUT_VERSION);
    RecordingShell shell;
    ErrorBoxCatcher catcher;

    const TAboutBox box(versionInfo, mainWindow, shell);

    EXPECT_EQ(catcher.texts(),
              QStringList(QStringLiteral("QueryVersionInfo:%1.").arg(std::strerror(ENODATA))));
    EXPECT_EQ(box.ProductName->text(), "Product Name");
    EXPECT_EQ(box.Comment1->text(), "");
    EXPECT_EQ(box.width(), 354);
    EXPECT_EQ(box.OKButton->x(), 263);
}

} // namespace
