#include "TfrmMain.h"

#include "../Spin/FakeTimerFactory.h"
#include "ErrorBox.h"
#include "ErrorBoxCatcher.h"
#include "Failure.h"
#include "FileReader.h"
#include "LoadProgressDialog.h"
#include "QtPrinters.h"
#include "TempDir.h"

#include <QApplication>
#include <QSignalBlocker>
#include <QTest>
#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>

namespace {

// A file whose read stops at its first byte until the test opens the gate. As it stops, it
// has the GUI thread run onHeld, inside the load's event loop.
class Gate
{
public:
    std::function<void()> onHeld;
    bool failRead = false; // the read fails once the gate opens

    void open()
    {
        const std::lock_guard lock(m_mutex);
        m_open = true;
        m_opened.notify_all();
    }

    void hold()
    {
        QMetaObject::invokeMethod(qApp, onHeld, Qt::QueuedConnection);
        std::unique_lock lock(m_mutex);
        m_opened.wait(lock, [this] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_open = false;
};

class GatedSource final : public ByteSource
{
public:
    GatedSource(std::unique_ptr<ByteSource> file, Gate &gate)
        : m_file(std::move(file)), m_gate(gate)
    {}
    std::uint64_t size() const override { return m_file->size(); }
    std::size_t readAt(std::uint64_t offset, char *out, std::size_t count) const override
    {
        if (offset == 0) {
            m_gate.hold();
            if (m_gate.failRead)
                throw Failure("read failed");
        }
        return m_file->readAt(offset, out, count);
    }

private:
    std::unique_ptr<ByteSource> m_file;
    Gate &m_gate;
};

// What a load may change, to see that a cancelled or failed one changed none of it.
struct Shown
{
    QString label1, label2, spinText, dump;
    int comboIndex;

    bool operator==(const Shown &) const = default;
    friend void PrintTo(const Shown &shown, std::ostream *out)
    {
        *out << "{" << shown.label1.toStdString() << " | " << shown.label2.toStdString()
             << " | spin " << shown.spinText.toStdString() << " | combo " << shown.comboIndex
             << " | " << shown.dump.left(120).toStdString() << "}";
    }
};

class TfrmMainLoadTest : public testing::Test
{
protected:
    TfrmMain &window()
    {
        if (!m_window) {
            LoadSeams seams{&m_timers, [this](const std::string &path) {
                                std::unique_ptr<ByteSource> file =
                                    std::make_unique<FileReader>(path);
                                if (m_gated)
                                    return std::unique_ptr<ByteSource>(
                                        std::make_unique<GatedSource>(std::move(file), m_gate));
                                return file;
                            }};
            m_window = std::make_unique<TfrmMain>(932, m_arguments, nullptr, Framing::lines(),
                                                  std::move(seams));
        }
        return *m_window;
    }

    Shown shown()
    {
        TfrmMain &w = window();
        w.Memo1->selectAll();
        return {w.Label1->text(), w.Label2->text(), w.SpinEdit1->text(), w.Memo1->selectedText(),
                w.ComboBox1->currentIndex()};
    }

    LoadProgressDialog *dialog() const
    {
        return qobject_cast<LoadProgressDialog *>(QApplication::activeModalWidget());
    }

    // The next load stops at its first read and runs whileHeld; the read goes on after it.
    void holdNextLoad(std::function<void()> whileHeld)
    {
        m_gated = true;
        m_gate.onHeld = [this, whileHeld] {
            whileHeld();
            m_gate.open();
        };
    }

    TempDir m_dir;
    FakeTimerFactory m_timers;
    Gate m_gate;
    bool m_gated = false;
    std::vector<std::string> m_arguments;
    std::unique_ptr<TfrmMain> m_window;
};

} // namespace

TEST_F(TfrmMainLoadTest, FramingSelectorReframesTheHeldBytesAndShowsRecordOne)
{
    const std::string path = m_dir.write("fixed.dat", std::string("AB\r\nC\0DEFG", 10));
    window().UserFileLoad(path);
    ASSERT_EQ(window().Label2->text(), "/0000002");
    std::remove(path.c_str()); // re-framing reads nothing

    window().SpinBox1->setValue(4);
    window().ComboBox1->setCurrentIndex(1);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    EXPECT_TRUE(window().SpinBox1->isEnabled());
    EXPECT_EQ(window().Label2->text(), "/0000003");
    EXPECT_EQ(window().SpinEdit1->MaxValue(), 3);
    EXPECT_EQ(window().SpinEdit1->Value(), 1);
    EXPECT_EQ(window().Label3->text(), "Record Length : 000004");
    window().ComboBox1->setCurrentIndex(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(window().Label2->text(), "/0000002");
}

TEST_F(TfrmMainLoadTest, FailedRdwFramingKeepsFileRecordsAndFraming)
{
    window().UserFileLoad(m_dir.write("lines.txt", "one\ntwo\n"));
    const Shown before = shown();
    ErrorBoxCatcher catcher;
    {
        const QSignalBlocker quiet(window().ComboBox1);
        window().ComboBox1->setCurrentIndex(2);
    }

    ErrorBox::guard([this] { window().ComboBox1Change(); });

    EXPECT_EQ(catcher.texts(), QStringList{"RDW at offset 0: bytes 3 and 4 are 65 0A, not zero."});
    EXPECT_EQ(shown(), before);
}

TEST_F(TfrmMainLoadTest, DialogShowsAfter300MillisecondsAndCancelKeepsEverything)
{
    window().UserFileLoad(m_dir.write("first.txt", "one\ntwo\n"));
    const Shown before = shown();
    bool shownAt299 = true;
    bool shownAt300 = false;
    QString progress;
    holdNextLoad([&] {
        m_timers.advance(299);
        shownAt299 = dialog() != nullptr;
        m_timers.advance(1);
        shownAt300 = dialog() && dialog()->isVisible();
        if (dialog())
            QTest::keyClick(dialog(), Qt::Key_Escape);
    });

    window().UserFileLoad(m_dir.write("second.txt", "three\n"));

    EXPECT_FALSE(shownAt299);
    EXPECT_TRUE(shownAt300);
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_FALSE(m_timers.anyActive());
}

TEST_F(TfrmMainLoadTest, CancelButtonDuringAReframingKeepsTheFraming)
{
    window().UserFileLoad(m_dir.write("first.txt", "one\ntwo\n"));
    const Shown before = shown();
    // Posted before the re-framing's end is, so it runs first in the re-framing's loop.
    QMetaObject::invokeMethod(
        qApp,
        [this] {
            m_timers.advance(300);
            QTest::mouseClick(dialog()->cancelButton(), Qt::LeftButton);
        },
        Qt::QueuedConnection);
    {
        const QSignalBlocker quiet(window().ComboBox1);
        window().ComboBox1->setCurrentIndex(1);
    }

    window().ComboBox1Change();

    EXPECT_EQ(shown(), before);
}

TEST_F(TfrmMainLoadTest, FailureDuringASlowLoadKeepsEverything)
{
    window().UserFileLoad(m_dir.write("first.txt", "one\ntwo\n"));
    const Shown before = shown();
    ErrorBoxCatcher catcher;
    m_gate.failRead = true;
    holdNextLoad([this] { m_timers.advance(300); });

    ErrorBox::guard([&] { window().UserFileLoad(m_dir.write("second.txt", "three\n")); });

    EXPECT_EQ(catcher.texts(), QStringList{"read failed."});
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(dialog(), nullptr);
}

TEST_F(TfrmMainLoadTest, ClosingTheWindowDuringALoadEndsItCleanly)
{
    window().show();
    holdNextLoad([this] { window().close(); });

    window().UserFileLoad(m_dir.write("file.txt", "one\n"));

    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(window().SpinEdit1->MaxValue(), 0);
}

TEST_F(TfrmMainLoadTest, CancelAtStartUpOpensTheWindowWithoutAFile)
{
    m_arguments = {m_dir.write("start.txt", "one\n")};
    holdNextLoad([this] {
        m_timers.advance(300);
        if (dialog())
            dialog()->reject();
    });

    const Shown start = shown();

    EXPECT_EQ(start.label2.trimmed(), "");
    EXPECT_FALSE(window().SpinEdit1->isEnabled());
}
