// A record of 2,000 fields laid out in the viewer: the Fields window following a change of
// record, and a block of the dump painted with its fields' bands, each within a frame (16 ms).
#include "FieldsController.h"
#include "FieldsWindow.h"
#include "OffscreenBenchmarkMain.h"
#include "TfrmMain.h"

#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fstream>
#include <random>
#include <string>

namespace {

constexpr int kGroups = 200; // of ten fields each

// Groups of text, zoned, packed, binary, float and double-byte fields: 2,000 elementary
// fields of 44 bytes a group.
std::string copybook()
{
    std::string text = "01 WIDE-RECORD.\n";
    for (int group = 0; group < kGroups; ++group) {
        const std::string n = std::to_string(group);
        // A line of the copybook a line here.
        // clang-format off
        text += "  05 G-" + n + ".\n"
                "    10 NAME-" + n + " PIC X(8).\n"
                "    10 CODE-" + n + " PIC 9(4).\n"
                "       88 CODE-OK-" + n + " VALUE 1 THRU 99.\n"
                "    10 AMOUNT-" + n + " PIC S9(7)V99 COMP-3.\n"
                "    10 COUNT-" + n + " PIC S9(4) COMP.\n"
                "    10 RATE-" + n + " COMP-2.\n"
                "    10 KANJI-" + n + " PIC G(2).\n"
                "    10 ROWS-" + n + " PIC S9(3) OCCURS 2.\n"
                "    10 FLAG-" + n + " PIC X.\n"
                "    10 PRICE-" + n + " PIC ZZ9.99-.\n";
        // clang-format on
    }
    return text;
}

class LaidOutWindow
{
public:
    LaidOutWindow() : m_window(932)
    {
        const std::string cpy = m_dir.filePath(QStringLiteral("wide.cpy")).toStdString();
        std::ofstream(cpy) << copybook();
        const std::string data = m_dir.filePath(QStringLiteral("wide.dat")).toStdString();
        std::mt19937 random(7);
        std::string bytes(2 * kGroups * 44, '\0');
        for (char &byte : bytes)
            byte = static_cast<char>(random());
        std::ofstream(data, std::ios::binary) << bytes;
        m_window.show();
        m_window.UserFileLoad(data);
        LayoutChoice choice;
        choice.copybook = cpy;
        choice.format = CopybookReader::Format::Free;
        m_window.SetLayout(choice);
        QCoreApplication::processEvents();
    }

    TfrmMain &window() { return m_window; }
    void paintDump() { m_window.Memo1->render(&m_dump); }
    void paintFields() { m_window.Fields()->window()->render(&m_fields); }

private:
    QTemporaryDir m_dir;
    TfrmMain m_window;
    QImage m_dump{QSize(687, 554), QImage::Format_RGB32};
    QImage m_fields{QSize(840, 520), QImage::Format_RGB32};
};

// From setting the record number to the Fields window painted, its rows all opened.
void followRecordWith2000Fields(benchmark::State &state)
{
    LaidOutWindow loaded;
    TSpinEdit *spin = loaded.window().SpinEdit1;
    int record = 1;
    for (auto _ : state) {
        record = 3 - record;
        spin->SetValue(record);
        loaded.paintFields();
    }
}
BENCHMARK(followRecordWith2000Fields)->Unit(benchmark::kMillisecond);

// Painting the dump area again: bands, marks and the cut of every field in sight.
void repaintDumpWithFields(benchmark::State &state)
{
    LaidOutWindow loaded;
    for (auto _ : state)
        loaded.paintDump();
}
BENCHMARK(repaintDumpWithFields)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runOffscreenBenchmarks(argc, argv);
}
