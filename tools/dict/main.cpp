// numbrill-dict: builds the word dictionary and looks words up in it.
//
//   numbrill-dict words WORDLIST WORDFILE
//   numbrill-dict index WORDFILE INDEXFILE
//   numbrill-dict lookup [--dir INSTALLDIR] DIGITS
//   numbrill-dict chain [--dir INSTALLDIR] [--count N] [--style STYLE] [--images FILE] DIGITS
//   numbrill-dict --help | --version

#include "core/AppInfo.h"
#include "core/QuotedLineFile.h"
#include "dictionary/Dictionary.h"
#include "dictionary/WordFileBuilder.h"
#include "dictionary/WordRanks.h"
#include "images/ImageChains.h"
#include "images/ImageList.h"
#include "remembered/RememberedList.h"
#include "settings/Installation.h"
#include "settings/Registry.h"
#include "workspace/ChainSearch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

const char usageText[] =
    "usage: numbrill-dict words WORDLIST WORDFILE\n"
    "       numbrill-dict index WORDFILE INDEXFILE\n"
    "       numbrill-dict lookup [--dir INSTALLDIR] DIGITS\n"
    "       numbrill-dict chain [--dir INSTALLDIR] [--count N] [--style STYLE]\n"
    "                           [--images FILE] DIGITS\n"
    "       numbrill-dict --help | --version\n"
    "\n"
    "words   builds a word file from a list of words, one a line, most preferred first\n"
    "index   builds the block index of a word file\n"
    "lookup  prints the words of every leading part of DIGITS, longest first, in the\n"
    "        order the candidate list shows them to a new user\n"
    "chain   prints the chain of words the main window would suggest for DIGITS,\n"
    "        one \"value word\" line per link: words one can picture first, the words\n"
    "        of your remembered numbers before all; digits no word can\n"
    "        cover are left out. --count N prints the N best chains, best first,\n"
    "        separated by a blank line. --style picks what the chain is made of:\n"
    "        pictures (words one can picture, any length; the default), images2 or\n"
    "        images3 (your images of two or three digits, in fixed chunks; a chunk\n"
    "        without an image takes words one can picture). The images are read\n"
    "        from FILE, else from images.db beside your remembered numbers\n"
    "\n"
    "INSTALLDIR is the folder holding data/num1.db; without --dir, the installation\n"
    "recorded in the settings.\n";

int usage()
{
    err() << usageText;
    return 2;
}

int buildWordFile(const QString &listPath, const QString &wordFilePath)
{
    QFile list(listPath);
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text)) {
        err() << listPath << ": " << list.errorString() << '\n';
        return 1;
    }
    QStringList words;
    while (!list.atEnd())
        words.append(QString::fromUtf8(list.readLine()).trimmed());

    WordFileBuilder builder;
    const int taken = builder.addWords(words);
    const QStringList records = builder.records();
    QString error;
    if (!QuotedLineFile::write(wordFilePath, records, &error)) {
        err() << wordFilePath << ": " << error << '\n';
        return 1;
    }
    out() << "wrote " << taken << " words in " << records.size() - 1 << " records to "
          << wordFilePath << '\n';
    return 0;
}

int buildIndex(const QString &wordFilePath, const QString &indexPath)
{
    QString error;
    if (!Dictionary::buildIndex(wordFilePath, indexPath, &error)) {
        err() << error << '\n';
        return 1;
    }
    return 0;
}

bool isDigitString(const QString &text)
{
    return !text.isEmpty() &&
           std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The installation, digits and count of "lookup" and "chain".
struct DictionaryArgs
{
    QString installDir;
    QString dataDir; // where the remembered numbers are, for their usage counts
    QString digits;
    int count = 1;
    ImageChains::Style style = ImageChains::Style::Pictures;
    QString imagesFile; // empty: the one in the data folder
};

bool openDictionary(Dictionary &dictionary)
{
    if (!QFile::exists(dictionary.indexFilePath()) || !QFile::exists(dictionary.wordFilePath())) {
        err() << "numbrill-dict: no dictionary in " << dictionary.installDir() << "/data\n";
        return false;
    }
    dictionary.loadIndex();
    return true;
}

bool lookup(Dictionary &dictionary, const DictionaryArgs &args)
{
    const QString &digits = args.digits;
    for (qsizetype length = digits.size(); length > 0; --length) {
        const QString part = digits.left(length);
        QStringList words = dictionary.lookupWords(part);
        std::reverse(words.begin(), words.end());
        out() << part << ':';
        for (const QString &word : std::as_const(words))
            out() << ' ' << word;
        out() << '\n';
    }
    return true;
}

bool chain(Dictionary &dictionary, const DictionaryArgs &args)
{
    // The usage counts of the installation's remembered numbers, read only; without
    // a list every word counts as unused.
    RememberedList remembered;
    remembered.setDataDir(args.dataDir);
    remembered.readnumbers();

    // A dictionary built from a list of one's own has no ranks, and a damaged ranks
    // file is as good as none: then words are ranked by their place in their record.
    WordRanks ranks;
    QString problem;
    if (!ranks.load(WordRanks::filePath(args.installDir), &problem) && !problem.isEmpty())
        err() << "numbrill-dict: " << problem
              << "; words are ranked by their place in their record\n";

    ImageList images;
    if (args.style != ImageChains::Style::Pictures) {
        const QString file =
            args.imagesFile.isEmpty() ? ImageList::filePath(args.dataDir) : args.imagesFile;
        const ImageList::LoadResult read = images.loadFile(file);
        if (read.status == ImageList::LoadStatus::Missing && !args.imagesFile.isEmpty()) {
            err() << "numbrill-dict: no image list " << file << '\n';
            return false;
        }
        if (read.status == ImageList::LoadStatus::Missing)
            err() << "numbrill-dict: no image list " << file
                  << "; every chunk takes words one can picture\n";
        else if (!read.problem.isEmpty())
            err() << "numbrill-dict: " << read.problem << '\n';
        if (read.status == ImageList::LoadStatus::Unreadable)
            return false;
    }

    const QList<QList<ChainSearch::Link>> chains = ImageChains::suggestChains(
        dictionary, args.digits,
        [&remembered](const QString &word) { return remembered.usesOf(word); }, ranks, images,
        args.style, args.count);
    for (qsizetype i = 0; i < chains.size(); ++i) {
        if (i > 0)
            out() << '\n';
        for (const ChainSearch::Link &link : chains.at(i))
            out() << link.value << ' ' << link.word << '\n';
    }
    return true;
}

int fail(const QString &message)
{
    err() << "numbrill-dict: " << message << '\n';
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("numbrill-dict"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NUMBRILL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(usageText));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version."));
    const QCommandLineOption dirOption(QStringLiteral("dir"),
                                       QStringLiteral("The installation folder to read."),
                                       QStringLiteral("INSTALLDIR"));
    const QCommandLineOption countOption(
        QStringLiteral("count"), QStringLiteral("How many chains to print."), QStringLiteral("N"));
    const QCommandLineOption styleOption(QStringLiteral("style"),
                                         QStringLiteral("What the chain is made of."),
                                         QStringLiteral("STYLE"));
    const QCommandLineOption imagesOption(QStringLiteral("images"),
                                          QStringLiteral("The image list to read."),
                                          QStringLiteral("FILE"));
    parser.addOptions({help, version, dirOption, countOption, styleOption, imagesOption});
    if (!parser.parse(app.arguments()))
        return fail(parser.errorText() + QStringLiteral(" See numbrill-dict --help."));
    if (parser.isSet(help)) {
        out() << usageText;
        return 0;
    }
    if (parser.isSet(version)) {
        out() << "numbrill-dict " << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }

    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    const bool onDictionary =
        command == QLatin1String("lookup") || command == QLatin1String("chain");
    if ((parser.isSet(dirOption) && !onDictionary) ||
        ((parser.isSet(countOption) || parser.isSet(styleOption) || parser.isSet(imagesOption)) &&
         command != QLatin1String("chain")))
        return usage();
    if (command == QLatin1String("words") && args.size() == 3)
        return buildWordFile(args.at(1), args.at(2));
    if (command == QLatin1String("index") && args.size() == 3)
        return buildIndex(args.at(1), args.at(2));
    if (!onDictionary || args.size() != 2)
        return usage();

    DictionaryArgs parsed;
    parsed.digits = args.at(1);
    if (!isDigitString(parsed.digits))
        return fail(QStringLiteral("DIGITS must be made of the digits 0 to 9 only"));
    if (parser.isSet(countOption)) {
        bool ok = false;
        parsed.count = parser.value(countOption).toInt(&ok);
        if (!ok || parsed.count < 1)
            return fail(QStringLiteral("--count must be a whole number of at least 1"));
    }
    if (parser.isSet(styleOption)) {
        const QString style = parser.value(styleOption);
        parsed.style = ImageChains::styleOf(style);
        if (ImageChains::settingValue(parsed.style) != style)
            return fail(QStringLiteral("--style must be pictures, images2 or images3"));
    }
    if (parser.isSet(imagesOption)) {
        parsed.imagesFile = parser.value(imagesOption);
        if (parsed.style == ImageChains::Style::Pictures)
            return fail(QStringLiteral("--images needs --style images2 or images3"));
    }
    // The registered installation keeps the user's list where the settings say, which
    // for a package is a folder of the user's own; a folder given by hand keeps it in
    // its data folder.
    if (parser.isSet(dirOption)) {
        parsed.installDir = parser.value(dirOption);
        parsed.dataDir = parsed.installDir + QStringLiteral("/data");
    } else {
        parsed.installDir = Registry::GetRegValue(QLatin1String(AppInfo::settingsPath),
                                                  QLatin1String(AppInfo::installDirSetting));
        parsed.dataDir = Installation::dataFolder();
    }
    Dictionary dictionary(parsed.installDir);
    if (!openDictionary(dictionary))
        return 1;
    return (command == QLatin1String("chain") ? chain : lookup)(dictionary, parsed) ? 0 : 1;
}
