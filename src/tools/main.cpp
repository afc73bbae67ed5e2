#include "CodePageDecoder.h"
#include "CommandLine.h"
#include "Failure.h"
#include "LongNames.h"
#include "PathLookup.h"
#include "RecordDump.h"
#include "RecordStore.h"
#include "UserLocale.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>

namespace {

constexpr std::string_view kProgram = "qarvo-dump";
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

constexpr std::string_view kHelp =
    R"(Usage: qarvo-dump [--codepage N] [--record-length N | --rdw] [--raw] [--count] FILE [RECORD]
Print record RECORD of FILE (counting from 1; the first by default) as the vertical hex dump
that the qarvo viewer shows. Every line of FILE is a record: lines end at CR, LF or CR LF,
and the file ends at its first NUL byte.

  --codepage N  take the records as text of Windows code page N (932, 936, 949, 950, or a
                single-byte page such as 1252) instead of the code page of the locale
  --record-length N
                every N bytes are a record (1 to 2147483647), the last may be shorter;
                any byte may occur in them, and nothing ends the file early
  --rdw         variable records, each after a 4-byte record descriptor word: a big-endian
                length that counts those 4 bytes, then two zero bytes
  --raw         write the dump's bytes exactly: record bytes unchanged, CR LF after each line
  --count       print only the number of records
  --help        show this help and exit
  --version     show the version and exit

Without --raw the character rows are decoded to UTF-8 and every line ends with LF. A byte
that does not decode to a printable character shows as ".", as an unprintable single byte
does, so that every byte keeps its column; a double-byte character fills two columns, and
one that a terminal shows one column wide (such as a Greek letter) is followed by a blank.

Exit status: 0 on success, 1 when FILE cannot be loaded or has no record RECORD, 2 when the
arguments are wrong.
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

void writeTerminalDump(const RecordDump &dump, const CodePageDecoder &decoder)
{
    std::string out;
    out.reserve(kPieceSize + kPieceSize / 4);
    for (std::size_t line = 0; line < dump.lineCount(); ++line) {
        if (dump.kindOf(line) == RecordDump::LineKind::Characters)
            appendCharacterRow(out, dump, line, decoder);
        else
            out += forTerminal(dump.line(line));
        out += '\n';
        if (out.size() >= kPieceSize) {
            writeOut(out);
            out.clear();
        }
    }
    writeOut(out);
}

CodePageDecoder decoderFor(const CommandLine &commandLine, int codePage)
{
    try {
        return CodePageDecoder(codePage);
    } catch (const Failure &failure) {
        if (commandLine.codePage())
            throw CommandLine::UsageError(failure.what());
        throw;
    }
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

// Everything that can fail is settled before the first byte is written.
void dump(const CommandLine &commandLine)
{
    const UserLocale locale = UserLocale::fromEnvironment();
    const int codePage = commandLine.codePage().value_or(locale.ansiCodePage());
    const ByteClasses classes = commandLine.codePage() ? ByteClasses::forCodePage(codePage)
                                                       : ByteClasses::forLocale(locale);
    const CodePageDecoder decoder = decoderFor(commandLine, codePage);
    const std::string path = longFullPath(commandLine.file());
    RecordStore store;
    store.load(path, commandLine.framing());
    const std::uint64_t count = store.count();
    if (commandLine.count()) {
        writeOut(std::to_string(count) + "\n");
        return;
    }
    const std::uint64_t number = commandLine.record();
    const Record record = recordNumbered(store, number, path);
    const DumpHeader header{path, RecordDump::lengthLabel(record.bytes.size()),
                            static_cast<std::int64_t>(number), RecordDump::countLabel(count)};
    const RecordDump recordDump(record, classes, header);
    if (commandLine.raw())
        recordDump.writeText(writeOut, "\r\n");
    else
        writeTerminalDump(recordDump, decoder);
}

int fail(std::string_view message, int status)
{
    std::cerr << kProgram << ": " << forTerminal(message) << '\n';
    if (status == 2)
        std::cerr << "Try '" << kProgram << " --help' for more information.\n";
    return status;
}

int run(const std::vector<std::string_view> &arguments)
{
    try {
        const CommandLine commandLine(arguments);
        if (commandLine.help())
            writeOut(kHelp);
        else if (commandLine.version())
            writeOut(std::string(kProgram) + " " + QARVO_VERSION + "\n");
        else
            dump(commandLine);
        if (std::fflush(stdout) != 0)
            throw writeFailure();
        return 0;
    } catch (const CommandLine::UsageError &error) {
        return fail(error.what(), 2);
    } catch (const std::bad_alloc &) {
        return fail("メモリが足りません", 1);
    } catch (const std::exception &error) {
        return fail(error.what(), 1);
    }
}

} // namespace

int main(int argc, char **argv)
{
    return run(std::vector<std::string_view>(argv + 1, argv + argc));
}
