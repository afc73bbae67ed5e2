#include "ByteClasses.h"
#include "ShiftJisText.h"
#include "OffscreenBenchmarkMain.h"
#include "TfrmMain.h"

#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

// The window with a one-record file of the given size loaded and record 1 painted.
class LoadedWindow
{
public:
    explicit LoadedWindow(std::size_t recordSize) : m_window(932)
    {
        ByteClasses::setProcessWide(ByteClasses::forCodePage(932));
        const QString path = m_dir.filePath(QStringLiteral("record.txt"));
        std::ofstream(path.toStdString(), std::ios::binary) << shiftJisRecord(recordSize);
        m_window.show();
        m_window.UserFileLoad(path);
        paint();
    }

    TfrmMain &window() { return m_window; }
    void paint() { m_window.Memo1->render(&m_image); }

private:
    QTemporaryDir m_dir;
    TfrmMain m_window;
    QImage m_image{QSize(687, 554), QImage::Format_RGB32};
};

// Argument: record size in KiB. From setting the record number to the dump area painted.
void selectRecordAndPaint(benchmark::State &state)
{
    LoadedWindow loaded(static_cast<std::size_t>(state.range(0)) << 10);
    TSpinEdit *spin = loaded.window().SpinEdit1;
    for (auto _ : state) {
        state.PauseTiming();
        spin->SetValue(0);
        state.ResumeTiming();
        spin->SetValue(1);
        loaded.paint();
    }
}
BENCHMARK(selectRecordAndPaint)
    ->Arg(1)
    ->Arg(1 << 10)
    ->Arg(100 << 10)
    ->Unit(benchmark::kMillisecond);

// Argument: record size in KiB. Painting the dump area again, scrolled to the middle.
void repaint(benchmark::State &state)
{
    LoadedWindow loaded(static_cast<std::size_t>(state.range(0)) << 10);
    QScrollBar *bar = loaded.window().Memo1->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    for (auto _ : state)
        loaded.paint();
}
BENCHMARK(repaint)->Arg(1)->Arg(1 << 10)->Arg(100 << 10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runOffscreenBenchmarks(argc, argv);
}
