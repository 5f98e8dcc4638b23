// numbrill-dict: builds the word dictionary and looks words up in it.
//
//   numbrill-dict words WORDLIST WORDFILE
//   numbrill-dict index WORDFILE INDEXFILE
//   numbrill-dict lookup [--dir INSTALLDIR] DIGITS
//   numbrill-dict chain [--dir INSTALLDIR] DIGITS

#include "core/AppInfo.h"
#include "core/QuotedLineFile.h"
#include "dictionary/Dictionary.h"
#include "dictionary/WordFileBuilder.h"
#include "remembered/RememberedList.h"
#include "settings/Registry.h"
#include "workspace/ChainSearch.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <optional>

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

int usage()
{
    err() << "usage: numbrill-dict words WORDLIST WORDFILE\n"
             "       numbrill-dict index WORDFILE INDEXFILE\n"
             "       numbrill-dict lookup [--dir INSTALLDIR] DIGITS\n"
             "       numbrill-dict chain [--dir INSTALLDIR] DIGITS\n"
             "\n"
             "words   builds a word file from a list of words, one a line, most preferred first\n"
             "index   builds the block index of a word file\n"
             "lookup  prints the words of every leading part of DIGITS, longest first, in the\n"
             "        order the candidate list shows them to a new user\n"
             "chain   prints the chain of words the main window would suggest for DIGITS,\n"
             "        one \"value word\" line per link, weighing the remembered numbers of\n"
             "        the installation; digits no word can cover are left out\n";
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

// The installation and digits of "lookup" and "chain"; no value after a usage error.
struct DictionaryArgs
{
    QString installDir;
    QString digits;
};

std::optional<DictionaryArgs> dictionaryArgs(QStringList args, int *exitCode)
{
    DictionaryArgs parsed;
    if (args.size() == 3 && args.at(0) == QLatin1String("--dir")) {
        parsed.installDir = args.at(1);
        args = args.mid(2);
    } else if (args.size() == 1) {
        parsed.installDir = Registry::GetRegValue(QLatin1String(AppInfo::settingsPath),
                                                  QLatin1String(AppInfo::installDirSetting));
    } else {
        *exitCode = usage();
        return std::nullopt;
    }
    parsed.digits = args.at(0);
    if (!isDigitString(parsed.digits)) {
        err() << "numbrill-dict: DIGITS must be made of the digits 0 to 9 only\n";
        *exitCode = 2;
        return std::nullopt;
    }
    return parsed;
}

bool openDictionary(Dictionary &dictionary)
{
    if (!QFile::exists(dictionary.indexFilePath()) || !QFile::exists(dictionary.wordFilePath())) {
        err() << "numbrill-dict: no dictionary in " << dictionary.installDir() << "/data\n";
        return false;
    }
    dictionary.loadIndex();
    return true;
}

void lookup(Dictionary &dictionary, const DictionaryArgs &args)
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
}

void chain(Dictionary &dictionary, const DictionaryArgs &args)
{
    // The usage counts of the installation's remembered numbers, read only; without
    // a list every word counts as unused.
    RememberedList remembered;
    remembered.setDataDir(args.installDir + QStringLiteral("/data"));
    remembered.readnumbers();

    const QList<ChainSearch::Link> links =
        ChainSearch::suggest(dictionary, args.digits, [&remembered](const QString &word) {
            return remembered.getcount(word);
        });
    for (const ChainSearch::Link &link : links)
        out() << link.value << ' ' << link.word << '\n';
}

// Reads the arguments of "lookup" and "chain", opens the dictionary they name and
// runs the command on it.
int runOnDictionary(const QStringList &args, void (*command)(Dictionary &, const DictionaryArgs &))
{
    int exitCode = 0;
    const std::optional<DictionaryArgs> parsed = dictionaryArgs(args, &exitCode);
    if (!parsed)
        return exitCode;
    Dictionary dictionary(parsed->installDir);
    if (!openDictionary(dictionary))
        return 1;
    command(dictionary, *parsed);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();

    const QString command = args.first();
    if (command == QLatin1String("words") && args.size() == 3)
        return buildWordFile(args.at(1), args.at(2));
    if (command == QLatin1String("index") && args.size() == 3)
        return buildIndex(args.at(1), args.at(2));
    if (command == QLatin1String("lookup"))
        return runOnDictionary(args.mid(1), lookup);
    if (command == QLatin1String("chain"))
        return runOnDictionary(args.mid(1), chain);
    return usage();
}
