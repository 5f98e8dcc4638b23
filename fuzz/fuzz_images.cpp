// The image list "images.db" on any bytes, read through the file as the program reads
// it. Whatever was read must write back to a whole file that reads the same list; a
// file read whole, with CR LF line ends, must write back byte for byte; a file that
// is not read whole must have its problem told, naming the file.
#include "FuzzSupport.h"
#include "images/ImageList.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString dataDir = FuzzSupport::scratchDir();
    const QByteArray bytes = FuzzSupport::bytesOf(data, size);
    FuzzSupport::writeFile(ImageList::filePath(dataDir), bytes);

    // Reused, so that nothing of the previous input may survive a load.
    static ImageList list;
    const ImageList::LoadResult result = list.load(dataDir);
    using Status = ImageList::LoadStatus;
    if (result.status == Status::Missing)
        FuzzSupport::fail("images: a file that is there was taken as missing");
    if ((result.status == Status::Loaded) != result.problem.isEmpty())
        FuzzSupport::fail("images: a problem told for a whole file, or none for a damaged one",
                          result.problem);
    if (result.status != Status::Loaded &&
        !result.problem.contains(QDir::toNativeSeparators(ImageList::filePath(dataDir))))
        FuzzSupport::fail("images: the problem does not name the file", result.problem);
    if (result.status == Status::Unreadable && !(list == ImageList()))
        FuzzSupport::fail("images: a file not read left images behind");

    const QByteArray written = list.toBytes();
    if (result.status == Status::Loaded) {
        bool crlf = true;
        for (qsizetype i = 0; i < bytes.size() && crlf; ++i)
            crlf = (bytes.at(i) != '\r' || bytes.mid(i + 1, 1) == "\n") &&
                   (bytes.at(i) != '\n' || (i > 0 && bytes.at(i - 1) == '\r'));
        if (crlf && written != bytes)
            FuzzSupport::fail("images: a whole file wrote back to other bytes",
                              FuzzSupport::visible(QString::fromLatin1(written)));
    }
    QString error;
    if (!list.save(dataDir, &error))
        FuzzSupport::fail("images: what was read cannot be saved", error);
    ImageList again;
    if (again.load(dataDir).status != Status::Loaded || !(again == list))
        FuzzSupport::fail("images: what was saved reads back otherwise");
    if (again.toBytes() != written)
        FuzzSupport::fail("images: the same list written twice gave other bytes");
    return 0;
}
