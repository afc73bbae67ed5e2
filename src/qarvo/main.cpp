#include "ByteClasses.h"
#include "EncodingCatalog.h"
#include "QarvoApplication.h"
#include "QarvoIcon.h"
#include "TAboutBox.h"
#include "TfrmMain.h"
#include "UserLocale.h"
#include "ViewerOptions.h"

#include <QSettings>

#include <iostream>
#include <memory>
#include <optional>

namespace {

// The encoding that --encoding names; nothing for the locale's, and for auto until the file
// is loaded. Throws ViewerOptions::UsageError for a name the catalog does not hold.
std::shared_ptr<const Encoding> namedEncoding(const std::string &name)
{
    if (name.empty() || name == "locale" || name == "auto")
        return nullptr;
    if (auto encoding = EncodingCatalog::make(name))
        return encoding;
    throw ViewerOptions::UsageError("unknown encoding '" + name +
                                    "'; qarvo-dump --list-encodings lists them");
}

} // namespace

// --help and --version answer before the application exists, which needs a display. Qt's own
// options would be taken for a file here: anything but these is left to the full parse.
std::optional<int> answerWithoutDisplay(int argc, char **argv)
{
    try {
        const ViewerOptions options(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help()) {
            std::cout << ViewerOptions::kUsage;
            return 0;
        }
        if (options.version()) {
            std::cout << "qarvo " QARVO_VERSION "\n";
            return 0;
        }
    } catch (const ViewerOptions::UsageError &) {
    }
    return std::nullopt;
}

int main(int argc, char **argv)
{
    if (const std::optional<int> answered = answerWithoutDisplay(argc, argv))
        return *answered;
    const UserLocale locale = UserLocale::fromEnvironment();
    // Before any window exists, and read-only from then on.
    ByteClasses::setProcessWide(ByteClasses::forLocale(locale));
    QarvoApplication application(argc, argv);
    // The viewer writes no file, yet Qt's file dialog saves its state in the user's settings
    // as it closes. Those settings are put where no file can ever be made: below a device.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    QarvoApplication::setWindowIcon(QarvoIcon::icon());
    // As bytes, for names in any encoding, and after the application took out its own options.
    std::optional<ViewerOptions> options;
    std::shared_ptr<const Encoding> encoding;
    try {
        options.emplace(std::vector<std::string>(argv + 1, argv + argc));
        encoding = namedEncoding(options->encoding());
    } catch (const ViewerOptions::UsageError &error) {
        std::cerr << "qarvo: " << error.what() << '\n' << ViewerOptions::kUsage;
        return 2;
    }
    if (const std::optional<int> answered = answerWithoutDisplay(argc, argv))
        return *answered;
    TfrmMain frmMain(locale.ansiCodePage(), options->fileArguments(), nullptr, options->framing());
    if (options->encoding() == "auto")
        frmMain.DetectEncoding();
    else if (encoding)
        frmMain.SetEncoding(encoding);
    if (!options->layout().copybook.empty())
        frmMain.SetLayout(options->layout());
    // After the main window's creation handler, which points its version information at us.
    TAboutBox AboutBox(*frmMain.ZuVersInfo1, frmMain);
    frmMain.SetAboutBox(&AboutBox);
    frmMain.show();
    return QarvoApplication::exec();
}
