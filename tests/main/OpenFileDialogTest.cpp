#include "OpenFileDialog.h"

#include "TempDir.h"

#include <QApplication>
#include <QFileDialog>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

#include <ostream>

#include <functional>

namespace {

struct PlacementRow
{
    const char *name;
    QRect monitor;
    QSize dialog;
    QPoint topLeft;

    friend void PrintTo(const PlacementRow &row, std::ostream *out) { *out << row.name; }
};

class OpenFileDialogPlacement : public testing::TestWithParam<PlacementRow>
{};

TEST_P(OpenFileDialogPlacement, CentresAcrossAndPutsATopThirdAbove)
{
    const PlacementRow &row = GetParam();

    EXPECT_EQ(OpenFileDialog::placement(row.monitor, row.dialog), row.topLeft);
}

const PlacementRow kPlacements[] = {
    {"Primary", QRect(0, 0, 1280, 1024), QSize(600, 400), QPoint(340, 208)},
    {"RightOfPrimary", QRect(1920, 0, 1920, 1080), QSize(800, 600), QPoint(2480, 160)},
    {"Above", QRect(0, -768, 1024, 768), QSize(424, 168), QPoint(300, -568)},
    {"LargerThanTheMonitor", QRect(0, 0, 800, 600), QSize(900, 700), QPoint(-50, -33)},
};

INSTANTIATE_TEST_SUITE_P(Monitors, OpenFileDialogPlacement, testing::ValuesIn(kPlacements),
                         [](const testing::TestParamInfo<PlacementRow> &info) {
                             return info.param.name;
                         });

// Runs answer on the Open dialog once it is up.
void whenShown(std::function<void(QFileDialog &)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

class OpenFileDialogTest : public testing::Test
{
protected:
    TempDir m_dir;
    QWidget m_parent;
};

TEST_F(OpenFileDialogTest, PreselectsThePreviousPathAndTakesANameThatDoesNotExist)
{
    const QString previous = QString::fromStdString(m_dir.write("previous.txt", "x"));
    const QString fresh = QString::fromStdString(m_dir.path("fresh.txt"));
    QStringList preselected;
    bool ownDialog = false;
    whenShown([&](QFileDialog &dialog) {
        preselected = dialog.selectedFiles();
        ownDialog = dialog.testOption(QFileDialog::DontUseNativeDialog);
        dialog.selectFile(fresh);
        QMetaObject::invokeMethod(&dialog, "accept");
    });

    const std::optional<QString> chosen = OpenFileDialog::execute(&m_parent, previous);

    EXPECT_TRUE(ownDialog);
    EXPECT_EQ(preselected, QStringList{previous});
    EXPECT_EQ(chosen, fresh);
}

TEST_F(OpenFileDialogTest, StandsWhereThePlacementPutsItOnTheScreen)
{
    QPoint at;
    QPoint expected;
    whenShown([&](QFileDialog &dialog) {
        at = dialog.pos();
        expected = OpenFileDialog::placement(dialog.screen()->geometry(), dialog.size());
        dialog.reject();
    });

    const std::optional<QString> chosen = OpenFileDialog::execute(&m_parent, QString());

    EXPECT_EQ(chosen, std::nullopt);
    EXPECT_EQ(at, expected);
}

} // namespace
