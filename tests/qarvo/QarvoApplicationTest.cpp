#include "QarvoApplication.h"

#include "ErrorBoxCatcher.h"
#include "Failure.h"

#include <QEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Throws from its event handler, as a failing click or key handler would.
class Throwing : public QWidget
{
protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            throw Failure("ファイル /x は開けません");
        if (event->type() == QEvent::Type(QEvent::User + 1))
            throw std::logic_error("broken");
        return QWidget::event(event);
    }
};

TEST(QarvoApplication, IsTitledQarvo)
{
    EXPECT_EQ(QCoreApplication::applicationName(), "qarvo");
}

TEST(QarvoApplication, ShowsAFailureEscapingAHandlerAndGoesOn)
{
    Throwing widget;
    ErrorBoxCatcher catcher;
    QEvent failing(QEvent::User);
    QEvent broken(QEvent::Type(QEvent::User + 1));

    QCoreApplication::sendEvent(&widget, &failing);
    QCoreApplication::sendEvent(&widget, &broken);

    ASSERT_EQ(catcher.shown().size(), 2u);
    EXPECT_EQ(catcher.shown()[0].title, "qarvo");
    EXPECT_EQ(catcher.shown()[0].text, "ファイル /x は開けません.");
    EXPECT_EQ(catcher.shown()[1].text, "broken.");
}

TEST(QarvoApplication, ShowsAFailureOfAPostedEventFromTheEventLoop)
{
    Throwing widget;
    widget.show();
    widget.grabMouse();
    ErrorBoxCatcher catcher;

    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QCoreApplication::processEvents();

    ASSERT_EQ(catcher.shown().size(), 1u);
    EXPECT_EQ(catcher.shown()[0].mouseGrabber, nullptr);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QarvoApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
