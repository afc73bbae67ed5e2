#include "TfrmMain.h"

#include "ByteDescription.h"
#include "CompareByteDescription.h"
#include "CompareController.h"
#include "EncodingCatalog.h"
#include "EncodingDetector.h"
#include "EncodingSelector.h"
#include "ErrorBox.h"
#include "FieldsController.h"
#include "Failure.h"
#include "FileReader.h"
#include "FindController.h"
#include "LayoutDialog.h"
#include "LeadByteEncoding.h"
#include "LongNames.h"
#include "OpenFileDialog.h"
#include "PathLookup.h"
#include "QtTimerFactory.h"
#include "RecordDump.h"
#include "RecordNumber.h"
#include "RunningExecutable.h"
#include "TZuVersInfo.h"

#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <memory>

namespace {

constexpr QPoint kWindowPosition(440, 108);
constexpr int kFontPixels = 12;
// In the free area right of the buttons, and the 16 pixels below the dump area.
constexpr QRect kEncodingSelector(260, 32, 220, 25);
constexpr QRect kDetectButton(486, 32, 64, 25);
constexpr int kStatusLineHeight = 16;
// Every laid-out control shows whole: the Detect button's right edge with the left margin
// again, and Memo1's top with room for the header and a block, and the status line below it.
constexpr QSize kMinimumSize(kDetectButton.right() + 1 + 16, 128 + 140 + 16);

// The faces the window was laid out for, then their free look-alikes, then the system's.
QFont japaneseFont(const QStringList &families, QFont::StyleHint hint)
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPixelSize(kFontPixels);
    return font;
}

QFont windowFont()
{
    return japaneseFont({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")},
                        QFont::SansSerif);
}

// Fixed pitch: a double-byte character is exactly two single-byte cells wide.
QFont dumpFont()
{
    QFont font = japaneseFont({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")},
                              QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

int spinValue(std::size_t count)
{
    return static_cast<int>(std::min<std::size_t>(count, INT_MAX));
}

} // namespace

TfrmMain::TfrmMain(int codePage, std::vector<std::string> arguments, QWidget *parent,
                   Framing framing, LoadSeams seams)
    : QWidget(parent), ZuVersInfo1(new TZuVersInfo(this)), m_arguments(std::move(arguments)),
      m_framing(framing), m_seams(std::move(seams)),
      m_load(this, m_seams.timers ? *m_seams.timers : QtTimerFactory::shared()),
      m_codePage(codePage), m_localeEncoding(std::make_shared<const LeadByteEncoding>(
                                LocaleEncodingName(), ByteClasses::processWide(), codePage))
{
    if (!m_seams.open) {
        m_seams.open = [](const std::string &path) {
            return std::make_unique<FileReader>(path);
        };
    }
    setupUi(this);
    setFont(windowFont());
    Memo1->setFont(dumpFont());
    Memo1->setCodePage(codePage);
    SpinEdit1->SetEditorEnabled(false);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    move(kWindowPosition);
    const QRect memo = Memo1->geometry();
    m_memoAnchors = QMargins(memo.left(), memo.top(), width() - memo.left() - memo.width(),
                             height() - memo.top() - memo.height());
    CreateEncodingControls(QString::fromStdString(LocaleEncodingName()));

    // Queued, so that a failure reaches the event loop without unwinding through the button.
    connect(Button1, &QPushButton::clicked, this, &TfrmMain::Button1Click, Qt::QueuedConnection);
    connect(Button2, &QPushButton::clicked, this, &TfrmMain::Button2Click);
    connect(SpinEdit1, &TSpinEdit::OnChange, this, &TfrmMain::SpinEdit1Change);
    ShowFraming(m_framing);
    // Queued as Button1: a failing re-framing must not unwind through the selector.
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TfrmMain::ComboBox1Change,
            Qt::QueuedConnection);
    connect(SpinBox1, &QSpinBox::valueChanged, this, &TfrmMain::SpinBox1Change,
            Qt::QueuedConnection);
    ConnectRecordNumber();
    ConnectFields();
    ConnectFind();
    ConnectCompare();
    ConnectRecordKeys();
    connect(&m_fileWatch, &QFileSystemWatcher::fileChanged, this, &TfrmMain::FileChangedOnDisk);
    Memo1->setBytesCheck([this] { return !m_records.changed(); });
    // Queued: the box and the reload come after the paint or the step that found the change.
    connect(Memo1, &DumpView::bytesUntrusted, this, &TfrmMain::FileChangedUnderneath,
            Qt::QueuedConnection);
    connect(m_find, &FindController::fileChangedUnderneath, this,
            &TfrmMain::FileChangedUnderneath, Qt::QueuedConnection);
    connect(m_compare, &CompareController::fileChangedUnderneath, this,
            &TfrmMain::FileChangedUnderneath, Qt::QueuedConnection);
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this,
            &TfrmMain::ReloadFile, Qt::QueuedConnection);
    setMinimumSize(kMinimumSize);

    ErrorBox::guard([this] { FormCreate(); });
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::Button1Click()
{
    const std::optional<QString> path = ExecuteOpenDialog(m_openDialogFileName);
    if (!path)
        return;
    m_openDialogFileName = *path;
    OpenChosenFile(*path);
}

void TfrmMain::Button2Click()
{
    if (m_aboutBox)
        m_aboutBox->exec();
}

void TfrmMain::SpinEdit1Change()
{
    m_recordNumber->followSpin();
    if (SpinEdit1->Value() < 0)
        SpinEdit1->SetValue(0);
    if (SpinEdit1->MaxValue() == 0)
        SpinEdit1->SetValue(0);
    if (SpinEdit1->Value() > SpinEdit1->MaxValue())
        SpinEdit1->SetValue(SpinEdit1->MaxValue());
    if (SpinEdit1->Value() <= 0)
        return;
    RenderRecord(SpinEdit1->Value());
    m_compare->recordShown(static_cast<std::size_t>(SpinEdit1->Value() - 1));
}

void TfrmMain::UserFileLoad(const QString &path)
{
    UserFileLoad(QFile::encodeName(path).toStdString());
}

void TfrmMain::UserFileLoad(const std::string &path)
{
    std::optional<RecordStore> loaded = LoadStore(path);
    if (!loaded)
        return;
    HoldStore(std::move(*loaded), path);
    WatchLoadedFile();
    m_notices.clear(StatusNotices::Kind::FileMissing);
    ShowLoadedRecords(path);
    if (m_detectEach)
        DetectLoadedEncoding();
}

void TfrmMain::ComboBox1Change()
{
    SpinBox1->setEnabled(ComboBox1->currentIndex() == 1);
    Reframe(ChosenFraming());
}

void TfrmMain::SpinBox1Change()
{
    if (ComboBox1->currentIndex() == 1)
        Reframe(ChosenFraming());
}

void TfrmMain::SetEncoding(std::shared_ptr<const Encoding> encoding)
{
    m_encoding = std::move(encoding);
    m_find->setEncoding(ShownEncoding());
    m_compare->setEncoding(ShownEncoding());
    m_encodingSelector->showChosen(m_encoding ? QString::fromStdString(m_encoding->name())
                                              : QString());
    RedrawRecord();
}

// The dump keeps its record and header: the record box may hold text not yet taken.
void TfrmMain::RedrawRecord()
{
    const RecordDump *shown = Memo1->dump();
    if (!shown)
        return;
    const int firstLine = Memo1->verticalScrollBar()->value();
    const Record record = shown->record();
    const std::shared_ptr<const Encoding> encoding = m_fields->cutting(record, ShownEncoding());
    Memo1->setDump(std::make_shared<const RecordDump>(record, encoding, shown->header()));
    m_fields->shown();
    Memo1->verticalScrollBar()->setValue(firstLine);
}

const Encoding &TfrmMain::CurrentEncoding() const
{
    return *ShownEncoding();
}

std::string TfrmMain::LocaleEncodingName() const
{
    return EncodingCatalog::codePageName(m_codePage) + " (locale)";
}

std::shared_ptr<const Encoding> TfrmMain::ShownEncoding() const
{
    return m_encoding ? m_encoding : m_localeEncoding;
}

void TfrmMain::DetectEncoding()
{
    m_detectEach = true;
    DetectLoadedEncoding();
}

QString TfrmMain::Notice() const
{
    return m_noticeLine->text();
}

void TfrmMain::DetectLoadedEncoding()
{
    if (m_records.count() == 0) {
        m_statusLine->setText(tr("Detect: no file is loaded"));
        return;
    }
    const EncodingDetector::Result detected = EncodingDetector::detect(m_records.bytes());
    const QString seen = QString::fromStdString(detected.details);
    if (detected.name.empty()) {
        m_statusLine->setText(tr("Detect: nothing that fits (%1); keeping %2")
                                  .arg(seen, QString::fromStdString(CurrentEncoding().name())));
        return;
    }
    SetEncoding(EncodingCatalog::make(detected.name));
    m_statusLine->setText(
        tr("Detect: picked %1 (%2)").arg(QString::fromStdString(detected.name), seen));
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    m_load.abandon();
    FormClose();
    event->accept();
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QMargins &gaps = m_memoAnchors;
    Memo1->setGeometry(gaps.left(), gaps.top(), std::max(0, width() - gaps.left() - gaps.right()),
                       std::max(0, height() - gaps.top() - gaps.bottom()));
    PlaceStatusLine();
}

void TfrmMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (droppedFile(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TfrmMain::dropEvent(QDropEvent *event)
{
    const std::optional<QString> path = droppedFile(event->mimeData());
    if (!path) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // After the drop has ended, so that an error box does not keep the drag source waiting.
    QMetaObject::invokeMethod(
        this, [this, file = *path] { OpenChosenFile(file); }, Qt::QueuedConnection);
}

std::optional<QString> TfrmMain::ExecuteOpenDialog(const QString &previous)
{
    return OpenFileDialog::execute(this, previous);
}

// A record past the spin edit's range, chosen by Go To, a hit or a compare, is shown at once.
void TfrmMain::ConnectRecordNumber()
{
    m_recordNumber = new RecordNumber(SpinEdit1);
    connect(m_recordNumber, &RecordNumber::beyondSpinChosen, this, [this](std::uint64_t number) {
        RenderRecord(number);
        m_compare->recordShown(number - 1);
    });
}

// Text is found in the encoding the dump is shown in.
void TfrmMain::ConnectFind()
{
    m_find =
        new FindController(m_records, m_recordNumber, Memo1, ShownEncoding(), QtTimerFactory::shared());
    const auto shortcut = [this](QKeySequence keys, auto slot) {
        connect(new QShortcut(keys, this), &QShortcut::activated, m_find, slot);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_F), &FindController::openFind);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_G), &FindController::openGoTo);
    shortcut(QKeySequence(Qt::Key_F3), [this] { m_find->find(false); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { m_find->find(true); });
}

// The other file is framed as the loaded one; Esc and the spin edit go back to the record.
void TfrmMain::ConnectCompare()
{
    m_compare = new CompareController(
        m_records, m_recordsPath, m_recordNumber, Memo1, ShownEncoding(),
        [this](const std::string &path) { return LoadStore(path); },
        [this](const QString &previous) { return ExecuteOpenDialog(previous); });
    m_compare->setFields(m_fields);
    connect(m_compare, &CompareController::left, this, [this] {
        if (const std::optional<std::uint64_t> number = m_recordNumber->shown(m_records.count()))
            RenderRecord(*number);
    });
    const auto shortcut = [this](QKeySequence keys, auto slot) {
        connect(new QShortcut(keys, this), &QShortcut::activated, m_compare, slot);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_D), &CompareController::openCompare);
    shortcut(QKeySequence(Qt::Key_F7), [this] { m_compare->stepDifference(false); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F7), [this] { m_compare->stepDifference(true); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_F7), [this] { m_compare->stepRecord(false); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F7),
             [this] { m_compare->stepRecord(true); });
}

// Before find and compare, which show their records through it.
void TfrmMain::ConnectFields()
{
    m_fields = new FieldsController(Memo1, this);
    connect(m_fields, &FieldsController::cutChanged, this, [this] {
        if (Memo1->compare())
            m_compare->redraw();
        else
            RedrawRecord();
    });
    const auto shortcut = [this](QKeySequence keys, auto slot) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_L), [this] { OpenLayout(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L), [this] { m_fields->toggleWindow(); });
    shortcut(QKeySequence(Qt::Key_F8), [this] { m_fields->stepDifferingField(false); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8), [this] { m_fields->stepDifferingField(true); });
    Memo1->setMenuExtension([this](QMenu &menu) { AddLayoutActions(menu); });
}

void TfrmMain::AddLayoutActions(QMenu &menu)
{
    menu.addSeparator();
    menu.addAction(tr("&Layout\u2026"), this, &TfrmMain::OpenLayout)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    QAction *fields = menu.addAction(tr("F&ields"), m_fields, &FieldsController::toggleWindow);
    fields->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    fields->setEnabled(m_fields->active());
    menu.addAction(tr("&No layout"), this, &TfrmMain::RemoveLayout)->setEnabled(m_fields->active());
}

void TfrmMain::OpenLayout()
{
    if (const std::optional<LayoutChoice> choice = ExecuteLayoutDialog(m_fields->lastChoice()))
        SetLayout(*choice);
}

void TfrmMain::SetLayout(const LayoutChoice &choice)
{
    if (!m_fields->choose(choice))
        return;
    if (ChosenFraming().kind == Framing::Kind::Lines) {
        // A layout is never longer than the length box takes.
        const Framing fixed =
            Framing::fixedLength(std::max<std::uint64_t>(m_fields->layoutLength(), 1));
        ShowFraming(fixed);
        Reframe(fixed);
    }
    RedrawRecord();
    m_compare->redraw();
    m_fields->showWindow();
}

void TfrmMain::RemoveLayout()
{
    m_fields->clear();
    RedrawRecord();
    m_compare->redraw();
}

std::optional<LayoutChoice> TfrmMain::ExecuteLayoutDialog(const LayoutChoice &previous)
{
    return LayoutDialog::execute(this, previous);
}

// A queued click or drop met while a load runs gets nothing; the load on screen goes on.
std::optional<RecordStore> TfrmMain::LoadStore(const std::string &path)
{
    if (m_load.running())
        return std::nullopt;
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    return m_load.run(tr("Loading %1").arg(name),
                      [open = m_seams.open, path, framing = m_framing](LoadControl &control) {
                          RecordStore store;
                          store.load(*open(path), framing, &control);
                          return store;
                      });
}

void TfrmMain::FormCreate()
{
    PointVersionInfoAtExecutable();
    Memo1->clear();
    m_records = RecordStore();
    SetCaptionFromVersion();
    LoadCommandLineFile();
}

void TfrmMain::FormClose()
{
    m_find->forgetStore();
    m_compare->forgetStore();
    m_records = RecordStore();
}

void TfrmMain::PointVersionInfoAtExecutable()
{
    ZuVersInfo1->SetFileName(RunningExecutable::path());
}

// The description first: that question reads the file.
void TfrmMain::SetCaptionFromVersion()
{
    const std::string description = ZuVersInfo1->GetVersionItem(1);
    const std::string version = ZuVersInfo1->GetVersionItem(2);
    setWindowTitle(QString::fromStdString(description + " Version " + version));
}

// Folders, FIFOs and devices are passed over, so start-up never waits on one. A name that
// nothing answers to is told in the status line, so that an empty window is not a puzzle.
void TfrmMain::LoadCommandLineFile()
{
    const std::optional<std::string> argument = LongNames::firstArgument(m_arguments);
    if (!argument)
        return;
    const std::string path = ExpandShortName(PathLookup::absolutePath(*argument));
    if (PathLookup::isRegularFile(path)) {
        UserFileLoad(path);
    } else if (std::error_code error; !std::filesystem::exists(path, error) && !error) {
        const QString name = QFile::decodeName(QByteArray::fromStdString(path));
        m_notices.set(StatusNotices::Kind::FileMissing, "No such file: " + name.toStdString());
        ShowNotices();
    }
}

std::string TfrmMain::ExpandShortName(const std::string &path)
{
    return LongNames::ExpandShortName(path);
}

// After the laid-out controls, so they keep their tab order.
void TfrmMain::CreateEncodingControls(const QString &localeName)
{
    m_encodingSelector = new EncodingSelector(localeName, this);
    m_encodingSelector->setGeometry(kEncodingSelector);
    m_encodingSelector->setObjectName(QStringLiteral("EncodingSelector"));
    m_detectButton = new QPushButton(tr("Detect"), this);
    m_detectButton->setGeometry(kDetectButton);
    m_detectButton->setObjectName(QStringLiteral("DetectButton"));
    m_statusLine = new QLabel(this);
    m_statusLine->setObjectName(QStringLiteral("StatusLine"));
    m_statusLine->setTextFormat(Qt::PlainText);
    m_noticeLine = new QLabel(this);
    m_noticeLine->setObjectName(QStringLiteral("NoticeLine"));
    m_noticeLine->setTextFormat(Qt::PlainText);
    m_noticeLine->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PlaceStatusLine();
    connect(m_encodingSelector, &EncodingSelector::encodingPicked, this, &TfrmMain::PickEncoding);
    connect(m_detectButton, &QPushButton::clicked, this, &TfrmMain::DetectEncoding);
    connect(Memo1, &DumpView::cursorByteChanged, this, &TfrmMain::ShowCursorByte);
}

void TfrmMain::PickEncoding(const QString &name)
{
    m_detectEach = false;
    SetEncoding(name.isEmpty() ? nullptr : EncodingCatalog::make(name.toStdString()));
}

void TfrmMain::ShowCursorByte()
{
    const RecordDump *dump = Memo1->dump();
    const std::optional<std::uint64_t> offset = Memo1->cursorByte();
    if (Memo1->compare() && offset)
        m_statusLine->setText(
            QString::fromStdString(CompareByteDescription::of(*Memo1->compare(), *offset)));
    else if (dump && offset)
        m_statusLine->setText(QString::fromStdString(ByteDescription::of(*dump, *offset)));
    else
        m_statusLine->setText(QString::fromStdString(CurrentEncoding().name()));
    if (const QString field = m_fields->cursorField(); !field.isEmpty())
        m_statusLine->setText(m_statusLine->text() + QStringLiteral("   ") + field);
}

void TfrmMain::ShowNotices()
{
    m_noticeLine->setText(QString::fromStdString(m_notices.shown()));
    PlaceStatusLine();
}

// The notice takes what it needs of the line's right end; the byte's words the rest.
void TfrmMain::PlaceStatusLine()
{
    const QRect line(Memo1->x(), Memo1->geometry().bottom() + 1, Memo1->width(), kStatusLineHeight);
    const int noticeWidth = m_noticeLine->text().isEmpty()
                                ? 0
                                : std::min(line.width(), m_noticeLine->sizeHint().width());
    m_noticeLine->setGeometry(line.right() + 1 - noticeWidth, line.top(), noticeWidth,
                              line.height());
    m_statusLine->setGeometry(line.left(), line.top(), line.width() - noticeWidth, line.height());
}

// Anywhere in the window, through the spin edit as every other change of the record.
void TfrmMain::ConnectRecordKeys()
{
    const auto shortcut = [this](QKeySequence keys, bool backwards) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this, backwards] { StepRecord(backwards); });
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown), false);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), true);
}

void TfrmMain::StepRecord(bool backwards)
{
    if (!SpinEdit1->isEnabled())
        return;
    // Past the spin edit's range, a step stays there, as its value cannot.
    const std::optional<std::uint64_t> shown = m_recordNumber->shown(m_records.count());
    if (shown && *shown > static_cast<std::uint64_t>(INT_MAX)) {
        m_recordNumber->show(backwards ? *shown - 1 : std::min(*shown + 1, m_records.count()));
        return;
    }
    if (backwards)
        SpinEdit1->StepDown(this);
    else
        SpinEdit1->StepUp(this);
}

void TfrmMain::OpenChosenFile(const QString &path)
{
    UserFileLoad(path);
    if (SpinEdit1->isEnabled())
        SpinEdit1->setFocus();
}

void TfrmMain::ShowLoadedRecords(const std::string &path)
{
    ShowStoreLabels(path);
    if (m_records.count() == 0)
        return;
    SpinEdit1->setEnabled(true);
    SpinEdit1->SetEditorEnabled(true);
    SpinEdit1->SetValue(0);
    SpinEdit1->SetValue(1);
}

void TfrmMain::ShowStoreLabels(const std::string &path)
{
    const std::size_t count = m_records.count();
    SpinEdit1->SetMaxValue(spinValue(count));
    SetLabelText(Label1, QFile::decodeName(QByteArray::fromStdString(path)));
    SetLabelText(Label2, QString::fromStdString(RecordDump::countLabel(count)));
    const bool lines = m_records.framing().kind == Framing::Kind::Lines;
    m_notices.set(StatusNotices::Kind::TextEndsAtNul,
                  lines ? StatusNotices::nulNotice(m_records.bytes()) : std::string());
    ShowNotices();
}

void TfrmMain::HoldStore(RecordStore store, const std::string &path)
{
    m_find->forgetStore();
    m_compare->forgetStore();
    m_records = std::move(store);
    m_recordsPath = path;
}

void TfrmMain::WatchLoadedFile()
{
    m_notices.clear(StatusNotices::Kind::ChangedOnDisk);
    ShowNotices();
    if (!m_fileWatch.files().isEmpty())
        m_fileWatch.removePaths(m_fileWatch.files());
    m_fileWatch.addPath(QFile::decodeName(QByteArray::fromStdString(m_recordsPath)));
}

void TfrmMain::FileChangedOnDisk(const QString &path)
{
    m_notices.set(StatusNotices::Kind::ChangedOnDisk, tr("Changed on disk: F5 reloads").toStdString());
    ShowNotices();
    // A file replaced by a rename is no longer watched; its successor is.
    if (!m_fileWatch.files().contains(path) && QFile::exists(path))
        m_fileWatch.addPath(path);
}

// The file shrank under its mapping: what was read past its new end is not the file's. The
// file is loaded as it is now, at the record shown; where it no longer loads, nothing is shown.
void TfrmMain::FileChangedUnderneath()
{
    // Paints and steps met while the box is up tell of the same change.
    if (m_reportingChange)
        return;
    const QScopedValueRollback reporting(m_reportingChange, true);
    try {
        m_records.throwIfChanged();
        return; // told already, by another reader of the same bytes
    } catch (const Failure &changed) {
        Memo1->clear();
        ErrorBox::show(changed.what());
    }
    try {
        ReloadFile();
    } catch (const std::exception &) {
        HoldStore(RecordStore(), m_recordsPath);
        ShowStoreLabels(m_recordsPath);
        SpinEdit1->SetValue(0);
    }
}

// The file as it is now, at the record shown (as far as the file still reaches) and the block
// in sight.
void TfrmMain::ReloadFile()
{
    if (m_recordsPath.empty())
        return;
    const std::uint64_t number = m_recordNumber->shown(m_records.count()).value_or(1);
    const int firstLine = Memo1->verticalScrollBar()->value();
    std::optional<RecordStore> loaded = LoadStore(m_recordsPath);
    if (!loaded)
        return;
    HoldStore(std::move(*loaded), m_recordsPath);
    WatchLoadedFile();
    ShowStoreLabels(m_recordsPath);
    const std::size_t count = m_records.count();
    if (count == 0) {
        Memo1->clear();
        SpinEdit1->SetValue(0);
        return;
    }
    SpinEdit1->setEnabled(true);
    SpinEdit1->SetEditorEnabled(true);
    // Through 0, so that the record is rendered anew even where its number stays.
    SpinEdit1->SetValue(0);
    m_recordNumber->show(std::min<std::uint64_t>(number, count));
    Memo1->verticalScrollBar()->setValue(firstLine);
}

Framing TfrmMain::ChosenFraming() const
{
    switch (ComboBox1->currentIndex()) {
    case 1:
        return Framing::fixedLength(static_cast<std::uint64_t>(SpinBox1->value()));
    case 2:
        return Framing::rdw();
    default:
        return Framing::lines();
    }
}

void TfrmMain::ShowFraming(const Framing &framing)
{
    const QSignalBlocker comboQuiet(ComboBox1);
    const QSignalBlocker lengthQuiet(SpinBox1);
    ComboBox1->setCurrentIndex(static_cast<int>(framing.kind));
    SpinBox1->setEnabled(framing.kind == Framing::Kind::FixedLength);
    if (framing.kind == Framing::Kind::FixedLength)
        SpinBox1->setValue(static_cast<int>(framing.length));
}

void TfrmMain::Reframe(const Framing &framing)
{
    // A change queued while a load runs: the selector shows the store's framing once it ends.
    if (m_load.running() || framing == m_framing)
        return;
    if (!m_records.file()) {
        m_framing = framing; // for the first load
        return;
    }
    std::optional<RecordStore> framed;
    try {
        framed = m_load.run(tr("Framing %1").arg(Label1->text()),
                            [file = m_records.file(), framing](LoadControl &control) {
                                return RecordStore::framed(file, framing, &control);
                            });
    } catch (...) {
        ShowFraming(m_framing);
        throw;
    }
    if (framed) {
        HoldStore(std::move(*framed), m_recordsPath);
        m_framing = framing;
    }
    ShowFraming(m_framing);
    if (framed)
        ShowLoadedRecords(m_recordsPath);
}

void TfrmMain::RenderRecord(std::uint64_t number)
{
    Memo1->clear();
    // A record that ends in the last page reads zeros past a cut without a fault.
    if (m_records.changed()) {
        QMetaObject::invokeMethod(this, &TfrmMain::FileChangedUnderneath, Qt::QueuedConnection);
        return;
    }
    const Record record = m_records.record(static_cast<std::int64_t>(number - 1));
    SetLabelText(Label3, QString::fromStdString(RecordDump::lengthLabel(record.bytes.size())));
    DumpHeader header{Label1->text().toStdString(), Label3->text().toStdString(),
                      static_cast<std::int64_t>(number), Label2->text().toStdString()};
    const std::shared_ptr<const Encoding> encoding = m_fields->cutting(record, ShownEncoding());
    Memo1->setDump(std::make_shared<const RecordDump>(record, encoding, std::move(header)));
    m_fields->shown();
}

std::optional<QString> TfrmMain::droppedFile(const QMimeData *data)
{
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return std::nullopt;
}

void TfrmMain::SetLabelText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->adjustSize();
}
