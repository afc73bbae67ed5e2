#include "ErrorBox.h"

#include "ErrorBoxCatcher.h"
#include "Failure.h"

#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <new>
#include <stdexcept>

namespace {

class ErrorBoxTest : public testing::Test
{
protected:
    void SetUp() override { QCoreApplication::setApplicationName(QStringLiteral("qarvo")); }
};

TEST_F(ErrorBoxTest, ShowsTheMessageInAnApplicationModalStopBox)
{
    ErrorBoxCatcher catcher;

    ErrorBox::show("ファイル /tmp/a.txt は開けません");

    ASSERT_EQ(catcher.shown().size(), 1u);
    const ErrorBoxCatcher::Shown &box = catcher.shown().front();
    EXPECT_EQ(box.title, "qarvo");
    EXPECT_EQ(box.text, "ファイル /tmp/a.txt は開けません.");
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_EQ(box.modality, Qt::ApplicationModal);
}

TEST_F(ErrorBoxTest, GuardReleasesTheMouseBeforeTheBoxComesUp)
{
    QWidget holder;
    holder.show();
    holder.grabMouse();
    ErrorBoxCatcher catcher;

    ErrorBox::guard([] { throw Failure("x"); });

    ASSERT_EQ(catcher.shown().size(), 1u);
    EXPECT_EQ(catcher.shown().front().mouseGrabber, nullptr);
}

TEST_F(ErrorBoxTest, GuardShowsNothingWhenNothingEscapes)
{
    ErrorBoxCatcher catcher;
    bool ran = false;

    ErrorBox::guard([&ran] { ran = true; });

    EXPECT_TRUE(ran);
    EXPECT_TRUE(catcher.shown().empty());
}

struct EscapeRow
{
    const char *name;
    std::function<void()> escape;
    QString shown;

    friend void PrintTo(const EscapeRow &row, std::ostream *out) { *out << row.name; }
};

class ErrorBoxGuard : public testing::TestWithParam<EscapeRow>
{};

TEST_P(ErrorBoxGuard, ShowsWhateverEscapesAndGoesOn)
{
    ErrorBoxCatcher catcher;

    ErrorBox::guard(GetParam().escape);

    EXPECT_EQ(catcher.texts(), QStringList{GetParam().shown});
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, ErrorBoxGuard,
    testing::Values(
        EscapeRow{"Failure", [] { throw Failure("メモリが足りません"); }, "メモリが足りません."},
        EscapeRow{"StandardException", [] { throw std::out_of_range("index 9"); }, "index 9."},
        EscapeRow{"OutOfMemory", [] { throw std::bad_alloc(); }, "メモリが足りません."},
        EscapeRow{"AnythingElse", [] { throw 42; }, "Unknown exception."}),
    [](const testing::TestParamInfo<EscapeRow> &info) { return info.param.name; });

} // namespace
