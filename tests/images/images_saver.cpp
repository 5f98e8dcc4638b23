// The image list's writer on its own, for tests/kill-during-image-save.sh.
//
//   images_saver save DATA_DIR COUNT   saves lists numbered on from the one in the file,
//                                      printing each number once its save returned
//   images_saver check DATA_DIR        clears what a killed save left, as My Images
//                                      does when it opens, loads the file and prints
//                                      the number of its list (0 for no file); fails
//                                      unless the file is that list byte for byte
#include "KillTrialWriter.h"
#include "images/ImageList.h"

#include <QCoreApplication>
#include <QFile>

namespace {

// List n: every key's image names n, and the three-digit keys are shown on odd n.
ImageList listNumber(int n)
{
    ImageList list;
    list.setThreeDigitKeysShown(n % 2 == 1);
    for (int digits = 1; digits <= 3; ++digits) {
        for (const QString &key : ImageList::keys(digits))
            list.setImage(key, QStringLiteral("image %1 of %2").arg(n).arg(key));
    }
    return list;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const KillTrialWriter trial(app.arguments());
    if (!trial.valid())
        return 2;
    const QString dataDir = trial.dataDir();

    ImageList::removeStaleTemporaries(dataDir);
    ImageList list;
    const ImageList::LoadResult read = list.load(dataDir);
    int held = 0;
    if (read.status != ImageList::LoadStatus::Missing) {
        held = list.image(QStringLiteral("0")).section(u' ', 1, 1).toInt();
        QFile file(ImageList::filePath(dataDir));
        if (read.status != ImageList::LoadStatus::Loaded || held < 1 ||
            !(list == listNumber(held)) || !file.open(QIODevice::ReadOnly) ||
            file.readAll() != listNumber(held).toBytes())
            return KillTrialWriter::fail(
                QStringLiteral("the file holds no whole list: %1").arg(read.problem));
    }
    if (trial.checking())
        return KillTrialWriter::held(held);

    for (int n = held + 1; n <= held + int(trial.count()); ++n) {
        QString error;
        if (!listNumber(n).save(dataDir, &error))
            return KillTrialWriter::fail(error);
        KillTrialWriter::acknowledge(n);
    }
    return 0;
}
