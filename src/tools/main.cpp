#include "CodePageDecoder.h"
#include "CommandLine.h"
#include "CompareDump.h"
#include "DumpCells.h"
#include "Encoding.h"
#include "EncodingCatalog.h"
#include "EncodingDetector.h"
#include "Failure.h"
#include "FileComparison.h"
#include "FindPattern.h"
#include "LayoutOutput.h"
#include "LeadByteEncoding.h"
#include "LongNames.h"
#include "PathLookup.h"
#include "RecordDump.h"
#include "RecordFinder.h"
#include "RecordStore.h"
#include "StoreMarks.h"
#include "UserLocale.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <future>
#include <iostream>
#include <new>
#include <optional>
#include <vector>

namespace {

constexpr std::string_view kProgram = "qarvo-dump";
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

constexpr std::string_view kHelp =
    R"(Usage: qarvo-dump [--codepage N | --encoding NAME] [--record-length N | --rdw] [--raw]
                  [--count] FILE [RECORD]
       qarvo-dump [--codepage N | --encoding NAME] [--record-length N | --rdw] --check[=all]
                  FILE
       qarvo-dump [--codepage N | --encoding NAME] [--record-length N | --rdw] [--count]
                  --find TEXT | --find-hex HEX FILE
       qarvo-dump [--codepage N | --encoding NAME] [--record-length N | --rdw]
                  --compare FILE_B[:RECORD_B] FILE [RECORD]
       qarvo-dump [--record-length N | --rdw] --compare-files FILE_B FILE
Print record RECORD of FILE (counting from 1; the first by default) as the vertical hex dump
that the qarvo viewer shows. Every line of FILE is a record: lines end at CR, LF or CR LF,
and the file ends at its first NUL byte.

  --codepage N      take the records as text of Windows code page N (932, 936, 949, 950, or
                    a single-byte page such as 1252) instead of the code page of the locale
  --encoding NAME   take the records as text of the encoding NAME (utf-8, euc-jp, shift_jis,
                    gb18030, big5, ibm-939, ...; see --list-encodings), "locale" for the
                    locale's code page, or "auto" to pick it from the file's bytes
  --record-length N every N bytes are a record (1 to 2147483647), the last may be shorter;
                    any byte may occur in them, and nothing ends the file early
  --rdw             variable records, each after a 4-byte record descriptor word: a
                    big-endian length that counts those 4 bytes, then two zero bytes
  --raw             write the dump's bytes exactly: record bytes unchanged, CR LF after each
                    line
  --count           print only the number of records, or with a find the number of hits
  --check           list every ill-formed and unmapped character of every record, a line
                    each: RECORD OFFSET HEX REASON; --check=all lists shift codes too
  --find TEXT       print "RECORD OFFSET" (from 1 and from 0) for each place that holds
                    TEXT written in the encoding; hits begin and end on its characters
  --find-hex HEX    the same for bytes written as hex pairs, blanks optional ("8A BF"); a
                    hit may begin at any byte. Hits never overlap.
  --compare FILE_B[:RECORD_B]
                    print record RECORD of FILE (A) against record RECORD_B of FILE_B (B,
                    by default record RECORD too), read in the same encoding and framing: per
                    block A's rows, B's rows and a row with "*" under each differing byte
  --compare-files FILE_B
                    compare record i of FILE with record i of FILE_B and print a line for
                    each that differs: RECORD FIRST_OFFSET DIFFERING_BYTES, or RECORD
                    only-in-A or only-in-B for a record one file has and the other has not
  --list-encodings  list the encodings' names and aliases and exit
  --help            show this help and exit
  --version         show the version and exit

Without --raw the character rows are decoded to UTF-8 and every line ends with LF. A byte
that does not decode to a printable character shows as ".", as an unprintable single byte
does, so that every byte keeps its column; a double-byte character fills two columns, and
one that a terminal shows one column wide (such as a Greek letter) is followed by a blank.

A FILE that shrinks while it is read (another program truncates it) ends the output where it
was: the message says that the file changed while it was read, and the exit status is that of
a FILE that cannot be loaded. Bytes read past the cut are never written.

Exit status: 0 on success, 1 when FILE cannot be loaded or has no record RECORD, 2 when the
arguments are wrong. With --check: 0 when nothing is listed, 1 when something is, 2 for wrong
arguments or a FILE that cannot be loaded. With a find, as grep: 0 when something was found,
1 when nothing was, 2 for wrong arguments, text the encoding cannot write, or a FILE that
cannot be loaded. With a compare, as cmp: 0 when the records are identical, 1 when they
differ, 2 for wrong arguments or a file that cannot be loaded or has no such record.
)";

Failure writeFailure()
{
    return Failure(std::string("write error: ") + std::strerror(errno));
}

void writeOut(std::string_view bytes)
{
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
        throw writeFailure();
}

// Standard output for what was read from stores. Each write first asks whether their files
// changed, so that zeros standing for bytes cut off are never written as the file's bytes;
// what was written before stands.
class Output
{
public:
    explicit Output(std::vector<const RecordStore *> stores) : m_stores(std::move(stores)) {}

    void write(std::string_view bytes) const
    {
        for (const RecordStore *store : m_stores)
            store->throwIfChanged();
        writeOut(bytes);
    }
    // Writes out what has piled up in out once it fills a piece, so that long output streams.
    void writeIfFull(std::string &out) const
    {
        if (out.size() >= kPieceSize) {
            write(out);
            out.clear();
        }
    }

private:
    std::vector<const RecordStore *> m_stores;
};

// As the viewer rewrites its command-line file, so that both show the same path. When the
// current folder is unknown the file keeps its name as given, for the failure to name it.
std::string longFullPath(const std::string &file)
{
    const std::string full = PathLookup::absolutePath(file);
    return full.empty() ? file : LongNames::ExpandShortName(full);
}

// text with its control bytes shown as "?": a file's name could otherwise carry escape
// sequences that take over the terminal.
std::string forTerminal(std::string_view text)
{
    std::string shown(text);
    for (char &byte : shown) {
        if (static_cast<unsigned char>(byte) < 0x20 || byte == 0x7F)
            byte = '?';
    }
    return shown;
}

// Each character as its UTF-8, kept to one terminal column per byte (see kHelp).
void appendCharacterRow(std::string &out, const RecordDump &dump, std::size_t line,
                        const CodePageDecoder &decoder)
{
    for (const std::string_view character : dump.characters(line)) {
        const CodePageDecoder::Glyph glyph = decoder.glyph(character);
        const auto columns = static_cast<std::size_t>(glyph.columns);
        if (columns < 1 || columns > character.size()) {
            out.append(character.size(), '.');
            continue;
        }
        out += glyph.utf8;
        out.append(character.size() - columns, ' ');
    }
}

void appendUnitRow(std::string &out, const RecordDump &dump, std::size_t line)
{
    for (const DumpCell &cell : DumpCells::unitRow(dump, line))
        out += cell.text;
}

void appendTerminalLine(std::string &out, const RecordDump &dump, std::size_t line,
                        const CodePageDecoder &decoder)
{
    if (dump.kindOf(line) != RecordDump::LineKind::Characters)
        out += forTerminal(dump.line(line));
    else if (dump.encoding().leadByteClasses())
        appendCharacterRow(out, dump, line, decoder);
    else
        appendUnitRow(out, dump, line);
}

// A compared line: its side's dump line with the label in place of its first characters,
// which are ASCII in both forms.
void appendTerminalLine(std::string &out, const CompareDump &compared, std::size_t line,
                        const CodePageDecoder &decoder)
{
    const CompareDump::Origin origin = compared.origin(line);
    if (!origin.dump) {
        out += forTerminal(compared.line(line));
        return;
    }
    const std::size_t start = out.size();
    appendTerminalLine(out, *origin.dump, origin.dumpLine, decoder);
    out.replace(start, origin.label.size(), origin.label);
}

// Every line of a dump or compare dump, each ended by LF, written in pieces.
template <typename Dump>
void writeTerminalDump(const Dump &dump, const CodePageDecoder &decoder, const Output &output)
{
    std::string out;
    out.reserve(kPieceSize + kPieceSize / 4);
    for (std::size_t line = 0; line < dump.lineCount(); ++line) {
        appendTerminalLine(out, dump, line, decoder);
        out += '\n';
        output.writeIfFull(out);
    }
    output.write(out);
}

// The decoder of the encoding's own code page, else of the locale's.
CodePageDecoder decoderFor(const CommandLine &commandLine, const Encoding &encoding,
                           const UserLocale &locale)
{
    try {
        return CodePageDecoder(encoding.windowsCodePage().value_or(locale.ansiCodePage()));
    } catch (const Failure &failure) {
        if (commandLine.codePage())
            throw CommandLine::UsageError(failure.what());
        throw;
    }
}

bool isAuto(const CommandLine &commandLine)
{
    return commandLine.encoding().value_or("") == "auto";
}

// The encoding asked for; for "auto", the locale's until the file is loaded.
std::shared_ptr<const Encoding> chosenEncoding(const CommandLine &commandLine,
                                               const UserLocale &locale)
{
    if (commandLine.codePage()) {
        const int codePage = *commandLine.codePage();
        try {
            return std::make_shared<const LeadByteEncoding>(EncodingCatalog::codePageName(codePage),
                                                            ByteClasses::forCodePage(codePage),
                                                            codePage);
        } catch (const Failure &failure) {
            throw CommandLine::UsageError(failure.what());
        }
    }
    const std::optional<std::string> &name = commandLine.encoding();
    if (!name || *name == "locale" || isAuto(commandLine))
        return EncodingCatalog::forLocale(locale);
    if (auto encoding = EncodingCatalog::make(*name))
        return encoding;
    throw CommandLine::UsageError("unknown encoding '" + *name +
                                  "'; see qarvo-dump --list-encodings");
}

std::shared_ptr<const Encoding> detectedEncoding(const RecordStore &store,
                                                 std::shared_ptr<const Encoding> fallback)
{
    if (store.count() == 0)
        return fallback;
    const EncodingDetector::Result detected = EncodingDetector::detect(store.bytes());
    auto encoding = detected.name.empty() ? nullptr : EncodingCatalog::make(detected.name);
    return encoding ? encoding : fallback;
}

void listEncodings()
{
    std::string out;
    for (const EncodingCatalog::Entry &entry : EncodingCatalog::entries()) {
        out += entry.name + "\t" + entry.group + "\t";
        for (std::size_t i = 0; i < entry.aliases.size(); ++i)
            out += (i ? " " : "") + entry.aliases[i];
        out += "\n";
    }
    out += "locale\tthe locale's code page\nauto\tpicked from the file's bytes\n";
    writeOut(out);
}

// RECORD OFFSET HEX REASON for each marked unit; whether any was listed.
bool writeCheck(const RecordStore &store, const Encoding &encoding, bool withShifts)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const Output output({&store});
    std::string out;
    bool listed = false;
    StoreMarks::forEach(
        store, encoding, [&](std::size_t record, std::string_view bytes, const Mark &mark) {
            if (mark.kind == Mark::Kind::Shift && !withShifts)
                return;
            listed = true;
            out += std::to_string(record + 1) + ' ' + std::to_string(mark.offset) + ' ';
            for (const char byte : bytes.substr(mark.offset, mark.length)) {
                out += kHex[static_cast<std::uint8_t>(byte) >> 4];
                out += kHex[static_cast<std::uint8_t>(byte) & 0x0F];
            }
            out += ' ';
            out += Mark::reason(mark.kind);
            out += '\n';
            output.writeIfFull(out);
        });
    output.write(out);
    return listed;
}

// Scripts want to hear of a number out of range, where the viewer's spin edit would clamp it.
Record recordNumbered(const RecordStore &store, std::uint64_t number, const std::string &path)
{
    const std::uint64_t count = store.count();
    if (count == 0)
        throw Failure(path + " has no records");
    if (number < 1 || number > count)
        throw Failure("record " + std::to_string(number) + " is out of range 1 to " +
                      std::to_string(count));
    return store.record(static_cast<std::int64_t>(number - 1));
}

FindPattern patternFor(const CommandLine &commandLine, const Encoding &encoding)
{
    if (commandLine.findHex())
        return FindPattern::hex(commandLine.findText());
    return FindPattern::text(commandLine.findText(), encoding, true);
}

// "RECORD OFFSET" for each hit, or their count; whether anything was found. With "auto" the
// text can only be written once the file's bytes have told the encoding.
bool find(const CommandLine &commandLine)
{
    const UserLocale locale = UserLocale::fromEnvironment();
    std::shared_ptr<const Encoding> encoding = chosenEncoding(commandLine, locale);
    std::optional<FindPattern> pattern;
    if (!isAuto(commandLine))
        pattern = patternFor(commandLine, *encoding);
    RecordStore store;
    store.load(longFullPath(commandLine.file()), commandLine.framing());
    if (isAuto(commandLine)) {
        encoding = detectedEncoding(store, encoding);
        pattern = patternFor(commandLine, *encoding);
    }
    std::uint64_t hits = 0;
    const Output output({&store});
    std::string out;
    if (store.count() > 0) {
        const RecordFinder finder(store, *encoding, *pattern);
        finder.scan(0, store.count() - 1, [&](const FindHit &hit) {
            ++hits;
            if (commandLine.count())
                return true;
            out += std::to_string(hit.record + 1);
            out += ' ';
            out += std::to_string(hit.offset);
            out += '\n';
            output.writeIfFull(out);
            return true;
        });
    }
    if (commandLine.count())
        out = std::to_string(hits) + "\n";
    output.write(out);
    return hits > 0;
}

RecordStore loaded(const std::string &path, const CommandLine &commandLine)
{
    RecordStore store;
    store.load(path, commandLine.framing());
    return store;
}

// A's and B's stores, B loaded on a thread of its own meanwhile: loading is most of a compare.
std::pair<RecordStore, RecordStore> loadedBoth(const std::string &pathA, const std::string &pathB,
                                               const CommandLine &commandLine)
{
    auto loadingB = std::async(std::launch::async, [&] { return loaded(pathB, commandLine); });
    RecordStore storeA = loaded(pathA, commandLine);
    return {std::move(storeA), loadingB.get()};
}

std::shared_ptr<const RecordDump> dumpOf(const RecordStore &store, std::uint64_t number,
                                         const std::string &path,
                                         std::shared_ptr<const Encoding> encoding)
{
    const Record record = recordNumbered(store, number, path);
    const DumpHeader header{path, RecordDump::lengthLabel(record.bytes.size()),
                            static_cast<std::int64_t>(number),
                            RecordDump::countLabel(store.count())};
    return std::make_shared<const RecordDump>(record, std::move(encoding), header);
}

// Record RECORD of FILE (A) against RECORD_B of FILE_B (B), as the compare view shows them;
// whether they differ. B is read in A's encoding and framing.
bool compareRecords(const CommandLine &commandLine)
{
    const UserLocale locale = UserLocale::fromEnvironment();
    std::shared_ptr<const Encoding> encoding = chosenEncoding(commandLine, locale);
    const std::string pathA = longFullPath(commandLine.file());
    const std::string pathB = longFullPath(commandLine.compareFile());
    const auto [storeA, storeB] = loadedBoth(pathA, pathB, commandLine);
    if (isAuto(commandLine))
        encoding = detectedEncoding(storeA, encoding);
    const CodePageDecoder decoder = decoderFor(commandLine, *encoding, locale);
    const std::uint64_t numberA = commandLine.record();
    const std::uint64_t numberB = commandLine.compareRecord().value_or(numberA);
    const CompareDump compared(dumpOf(storeA, numberA, pathA, encoding),
                               dumpOf(storeB, numberB, pathB, encoding),
                               {pathA, numberA, storeA.count()}, {pathB, numberB, storeB.count()});
    writeTerminalDump(compared, decoder, Output({&storeA, &storeB}));
    return !compared.comparison().identical();
}

// "RECORD FIRST_OFFSET DIFFERING_BYTES", or "RECORD only-in-A" or "-B", for each record i of
// FILE (A) that differs from record i of FILE_B (B); whether any does.
bool compareFiles(const CommandLine &commandLine)
{
    chosenEncoding(commandLine, UserLocale::fromEnvironment()); // a wrong name is still wrong
    const auto [storeA, storeB] = loadedBoth(longFullPath(commandLine.file()),
                                             longFullPath(commandLine.compareFile()), commandLine);
    bool differ = false;
    const Output output({&storeA, &storeB});
    std::string out;
    FileComparison(storeA, storeB).scan(0, [&](const FileComparison::Difference &difference) {
        using Side = FileComparison::Difference::Side;
        differ = true;
        out += std::to_string(difference.record + 1);
        if (difference.side == Side::Both)
            out += ' ' + std::to_string(difference.firstOffset) + ' ' +
                   std::to_string(difference.differingBytes) + '\n';
        else
            out += difference.side == Side::OnlyA ? " only-in-A\n" : " only-in-B\n";
        output.writeIfFull(out);
        return true;
    });
    output.write(out);
    return differ;
}

// --layout, --fields or --json: 1 when a value did not decode.
int layoutOutput(const CommandLine &commandLine)
{
    const LayoutArguments &arguments = commandLine.layout();
    std::shared_ptr<const Encoding> encoding =
        chosenEncoding(commandLine, UserLocale::fromEnvironment());
    const LayoutOutput output(arguments);
    if (arguments.output() == LayoutArguments::Output::Layout) {
        output.writeLayout(writeOut);
        return 0;
    }
    const std::string path = longFullPath(commandLine.file());
    RecordStore store;
    store.load(path, commandLine.framingGiven() ? commandLine.framing() : output.framing());
    if (isAuto(commandLine))
        encoding = detectedEncoding(store, encoding);
    // Values read from a file that shrank would be the zeros standing for its lost bytes.
    const Output checked({&store});
    const auto write = [&checked](std::string_view bytes) {
        checked.write(bytes);
    };
    if (arguments.output() == LayoutArguments::Output::Json)
        return output.writeJson(store, encoding, write) ? 0 : 1;
    const Record record = recordNumbered(store, commandLine.record(), path);
    return output.writeFields(record.bytes, encoding, write) ? 0 : 1;
}

// Everything that can fail is settled before the first byte is written. Returns the exit
// status.
int dump(const CommandLine &commandLine)
{
    const UserLocale locale = UserLocale::fromEnvironment();
    std::shared_ptr<const Encoding> encoding = chosenEncoding(commandLine, locale);
    // With "auto" the characters are drawn in the code page of the encoding the bytes tell.
    std::optional<CodePageDecoder> decoder;
    if (!isAuto(commandLine))
        decoder.emplace(decoderFor(commandLine, *encoding, locale));
    const std::string path = longFullPath(commandLine.file());
    RecordStore store;
    store.load(path, commandLine.framing());
    if (isAuto(commandLine)) {
        encoding = detectedEncoding(store, encoding);
        decoder.emplace(decoderFor(commandLine, *encoding, locale));
    }
    const std::uint64_t count = store.count();
    const Output output({&store});
    if (commandLine.count()) {
        output.write(std::to_string(count) + "\n");
        return 0;
    }
    if (commandLine.check() != CommandLine::Check::None)
        return writeCheck(store, *encoding,
                          commandLine.check() == CommandLine::Check::MarksAndShifts)
                   ? 1
                   : 0;
    const std::uint64_t number = commandLine.record();
    const Record record = recordNumbered(store, number, path);
    const DumpHeader header{path, RecordDump::lengthLabel(record.bytes.size()),
                            static_cast<std::int64_t>(number), RecordDump::countLabel(count)};
    const RecordDump recordDump(record, encoding, header);
    if (commandLine.raw())
        recordDump.writeText([&](std::string_view bytes) { output.write(bytes); }, "\r\n");
    else
        writeTerminalDump(recordDump, *decoder, output);
    return 0;
}

int fail(std::string_view message, int status, bool usage = false)
{
    std::cerr << kProgram << ": " << forTerminal(message) << '\n';
    if (usage)
        std::cerr << "Try '" << kProgram << " --help' for more information.\n";
    return status;
}

int run(const std::vector<std::string_view> &arguments)
{
    // A find's, a check's or a compare's failures exit with 2, as grep's and cmp's do: 1 is
    // an answer.
    bool answersWithOne = false;
    try {
        const CommandLine commandLine(arguments);
        int status = 0;
        if (commandLine.help())
            writeOut(std::string(kHelp) + std::string(LayoutOutput::help()));
        else if (commandLine.version())
            writeOut(std::string(kProgram) + " " + QARVO_VERSION + "\n");
        else if (commandLine.listEncodings())
            listEncodings();
        else if ((answersWithOne = commandLine.layout().asked()))
            status = layoutOutput(commandLine);
        else if ((answersWithOne = commandLine.finds()))
            status = find(commandLine) ? 0 : 1;
        else if ((answersWithOne = commandLine.compares()))
            status = (commandLine.comparesFiles() ? compareFiles(commandLine)
                                                  : compareRecords(commandLine))
                         ? 1
                         : 0;
        else {
            answersWithOne = commandLine.check() != CommandLine::Check::None;
            status = dump(commandLine);
        }
        if (std::fflush(stdout) != 0)
            throw writeFailure();
        return status;
    } catch (const CommandLine::UsageError &error) {
        return fail(error.what(), 2, true);
    } catch (const std::bad_alloc &) {
        return fail("メモリが足りません", answersWithOne ? 2 : 1);
    } catch (const std::exception &error) {
        return fail(error.what(), answersWithOne ? 2 : 1);
    }
}

} // namespace

int main(int argc, char **argv)
{
    return run(std::vector<std::string_view>(argv + 1, argv + argc));
}
