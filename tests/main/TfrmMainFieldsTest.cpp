#include "TfrmMain.h"

#include "CompareBar.h"
#include "CompareController.h"
#include "EncodingCatalog.h"
#include "ErrorBoxCatcher.h"
#include "FieldsController.h"
#include "FieldsModel.h"
#include "FieldsWindow.h"
#include "QtPrinters.h"
#include "TempDir.h"

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::string_view kCopybook = R"(
    01 REC.
       05 KIND PIC X.
       05 NAME PIC G(2).
       05 AMOUNT PIC S9(3) COMP-3.
       05 BODY PIC X(4).
       05 NUMS REDEFINES BODY.
          10 N PIC 99 OCCURS 2.
)";

// Three records of 11 bytes in EBCDIC 939, with no line ends: 山田 with no SO or SI, a packed
// amount (the second's sign is damaged), and four digits.
std::string records()
{
    const std::string name = "\x45\x65\x45\x63";
    return "\xC1" + name + "\x12\x3C" + "\xF0\xF1\xF0\xF2" + //
           "\xC2" + name + "\x45\x63" + "\xF0\xF1\xF0\xF3" + //
           "\xC3" + name + "\x78\x9C" + "\xF0\xF2\xF0\xF2";
}

enum Row : std::size_t { Record, Kind, Name, Amount, Body, Nums, Table, N1, N2 };

// The layout dialog answers with the choice a test sets.
class LaidOutWindow : public TfrmMain
{
public:
    LaidOutWindow() : TfrmMain(932) {}

    std::optional<LayoutChoice> answer;

protected:
    std::optional<LayoutChoice> ExecuteLayoutDialog(const LayoutChoice &) override
    {
        return answer;
    }
};

class TfrmMainFieldsTest : public testing::Test
{
protected:
    TfrmMainFieldsTest()
    {
        m_choice.copybook = m_dir.write("rec.cpy", std::string(kCopybook));
        m_choice.format = CopybookReader::Format::Free;
        m_window.answer = m_choice;
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        m_window.UserFileLoad(m_dir.write("records.dat", records()));
        m_window.SetEncoding(EncodingCatalog::make("IBM-939"));
    }

    FieldsWindow *fields() const { return m_window.Fields()->window(); }
    QTreeView *table() const { return fields()->table(); }
    std::optional<std::size_t> currentRow() const
    {
        return fields()->model()->rowOf(table()->currentIndex());
    }
    void clickRow(std::size_t row)
    {
        const QModelIndex index = fields()->model()->indexOfRow(row);
        table()->scrollTo(index);
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {},
                          table()->visualRect(index).center());
    }
    QString status() const { return m_window.findChild<QLabel *>("StatusLine")->text(); }

    TempDir m_dir;
    LayoutChoice m_choice;
    LaidOutWindow m_window;
};

TEST_F(TfrmMainFieldsTest, ARowSelectsItsBytesAndTheCursorSelectsItsRow)
{
    QTest::keyClick(&m_window, Qt::Key_L, Qt::ControlModifier);
    // Lines become fixed-length records of the layout's length.
    EXPECT_EQ(m_window.ComboBox1->currentIndex(), 1);
    EXPECT_EQ(m_window.SpinBox1->value(), 11);
    EXPECT_EQ(m_window.Label2->text(), "/0000003");
    ASSERT_TRUE(fields()->isVisible());
    EXPECT_EQ(fields()->windowTitle(), "Fields \u2013 rec.cpy: REC");
    m_window.SpinEdit1->SetValue(3);

    clickRow(Amount);
    EXPECT_EQ(m_window.Memo1->cursorByte(), 5u);
    EXPECT_EQ(m_window.Memo1->selectedText().size(), 2);
    EXPECT_TRUE(status().contains("AMOUNT byte 1 of 2, S9(3) COMP-3: 789"))
        << status().toStdString();

    m_window.Memo1->showByte(7);
    QTest::keyClick(m_window.Memo1, Qt::Key_Right);
    EXPECT_EQ(m_window.Memo1->cursorByte(), 8u);
    EXPECT_EQ(currentRow(), Body);
    EXPECT_TRUE(status().contains("BODY byte 2 of 4, X(4): 0202")) << status().toStdString();

    table()->selectionModel()->select(fields()->model()->indexOfRow(Kind),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    fields()->copySelection();
    EXPECT_EQ(QApplication::clipboard()->text(), "05\tKIND\t0\t1\tX\tC3\tC\n"
                                                 "05\tBODY\t7\t4\tX(4)\tF0F2F0F2\t0202\n");
}

TEST_F(TfrmMainFieldsTest, TheLayoutCutsTheDumpAndTellsWhatIsAmiss)
{
    m_window.SetLayout(m_choice);
    m_window.SpinEdit1->SetValue(2);
    m_window.Memo1->showByte(1);
    // The double-byte name shows as kanji with no shift code before it.
    EXPECT_TRUE(status().contains("\u5C71")) << status().toStdString();
    EXPECT_TRUE(status().contains("NAME byte 1 of 4, G(2) DISPLAY-1: \u5C71\u7530"))
        << status().toStdString();
    const FieldsModel &model = *fields()->model();
    EXPECT_EQ(model.data(model.indexOfRow(Amount, FieldsModel::Value)), "invalid: sign");
    EXPECT_TRUE(
        model.data(model.indexOfRow(Amount, FieldsModel::Value), Qt::BackgroundRole).isValid());
    EXPECT_EQ(fields()->note(), "");

    // A record framed shorter than the layout: its fields past the end are absent.
    m_window.SpinBox1->setValue(9);
    QCoreApplication::processEvents();
    EXPECT_EQ(model.data(model.indexOfRow(Body, FieldsModel::Value)), "absent");
    EXPECT_EQ(fields()->note(), "The record is 2 bytes shorter than the layout (11 bytes)");
}

TEST_F(TfrmMainFieldsTest, ChoosingAnotherAlternativePaintsAndNamesIt)
{
    m_window.SetLayout(m_choice);
    clickRow(N2);
    EXPECT_EQ(m_window.Memo1->cursorByte(), 9u);
    EXPECT_TRUE(status().contains("N(2) byte 1 of 2, 99: 2")) << status().toStdString();
    m_window.SpinEdit1->SetValue(2); // the choice holds for the next record
    m_window.Memo1->showByte(7);
    EXPECT_TRUE(status().contains("N(1) byte 1 of 2, 99: 1")) << status().toStdString();

    clickRow(Body);
    m_window.Memo1->showByte(7);
    EXPECT_TRUE(status().contains("BODY byte 1 of 4")) << status().toStdString();
}

TEST_F(TfrmMainFieldsTest, ACopybookThatCannotBeReadKeepsTheLayoutHeld)
{
    m_window.SetLayout(m_choice);
    LayoutChoice broken = m_choice;
    broken.copybook = m_dir.write("broken.cpy", "01 R.\n  05 A PIC X(3) BLINK.\n");
    ErrorBoxCatcher catcher;

    m_window.SetLayout(broken);

    ASSERT_EQ(catcher.texts().size(), 1);
    EXPECT_TRUE(catcher.texts()[0].contains(":2:17: unknown clause 'BLINK'"))
        << catcher.texts()[0].toStdString();
    EXPECT_EQ(fields()->windowTitle(), "Fields \u2013 rec.cpy: REC");
    m_window.Memo1->showByte(0);
    EXPECT_TRUE(status().contains("KIND byte 1 of 1")) << status().toStdString();
}

TEST_F(TfrmMainFieldsTest, NoLayoutShowsTheDumpAsWithoutOneAndKeepsTheFraming)
{
    m_window.SetLayout(m_choice);
    m_window.RemoveLayout();

    EXPECT_FALSE(m_window.Fields()->active());
    EXPECT_FALSE(fields()->isVisible());
    EXPECT_EQ(m_window.ComboBox1->currentIndex(), 1);
    m_window.Memo1->showByte(1);
    EXPECT_FALSE(status().contains("NAME")) << status().toStdString();
    EXPECT_FALSE(status().contains("\u5C71")) << status().toStdString(); // 45 alone is no kanji
}

TEST_F(TfrmMainFieldsTest, ACompareNamesTheDifferingFieldsAndF8StepsThroughThem)
{
    m_window.SetLayout(m_choice);
    m_window.SpinEdit1->SetValue(3);
    m_window.Compare()->compareWith({std::nullopt, 1});

    EXPECT_TRUE(
        m_window.Compare()->bar()->summary().endsWith("; 3 fields differ: KIND, AMOUNT, BODY"))
        << m_window.Compare()->bar()->summary().toStdString();
    const FieldsModel &model = *fields()->model();
    EXPECT_EQ(model.columnCount(), FieldsModel::ColumnCount);
    EXPECT_EQ(model.data(model.indexOfRow(Amount, FieldsModel::OtherValue)), "123");

    m_window.Memo1->setFocus();
    QTest::keyClick(m_window.Memo1, Qt::Key_F8);
    EXPECT_EQ(m_window.Memo1->cursorByte(), 5u);
    EXPECT_EQ(currentRow(), Amount);
    QTest::keyClick(m_window.Memo1, Qt::Key_F8);
    EXPECT_EQ(m_window.Memo1->cursorByte(), 7u);
    QTest::keyClick(m_window.Memo1, Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(m_window.Memo1->cursorByte(), 5u);
}

} // namespace
