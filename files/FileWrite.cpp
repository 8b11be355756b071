#include "files/FileWrite.h"

#include "app/Init.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <cerrno>
#include <cstring>

bool WriteFully(QFileDevice &file, const QByteArray &bytes, QString *why)
{
    errno = 0;
    qint64 done = 0;
    // The rest of a short write is written again: that write fails with the
    // reason the short one did not give.
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            break;
        done += n;
    }
    if (done == bytes.size() && file.flush())
        return true;
    const int error = errno;
    *why = error ? QString::fromLocal8Bit(std::strerror(error)) : file.errorString();
    return false;
}

QString FileLabel(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

// Why the path (through links) is nothing a file may be read from or saved
// over, or "" for a regular file or a new name. Opening a FIFO would wait
// for a writer forever, and a save would replace a device node.
QString NotAFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return info.isSymLink() ? Tr("is a link to nothing") : QString();
    if (info.isDir())
        return Tr("is a folder, not a file");
    if (info.isFile())
        return QString();
#ifdef Q_OS_UNIX
    struct stat st{};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        if (S_ISFIFO(st.st_mode))
            return Tr("is a FIFO (named pipe), not a file");
        if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
            return Tr("is a device, not a file");
        if (S_ISSOCK(st.st_mode))
            return Tr("is a socket, not a file");
    }
#endif
    return Tr("is not a regular file");
}

// Why a save that could not create its temporary file failed, in words
// that name the culprit: the file, or the folder the file is replaced in.
QString WhyNotSaved(const QString &path, const QString &platformError)
{
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (info.exists() && !info.isWritable())
        return Tr("the file is read-only");
    if (!folder.exists())
        return Tr("the folder %1 does not exist").arg(QDir::toNativeSeparators(folder.filePath()));
    if (!folder.isWritable())
        return (info.exists() ? Tr("the folder %1 is read-only, so the file in it cannot be "
                                   "replaced (the file itself is not read-only)")
                              : Tr("the folder %1 is read-only"))
            .arg(QDir::toNativeSeparators(folder.filePath()));
    return platformError;
}

bool SaveWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    const auto failed = [&](const QString &why) {
        if (error)
            *error = FileLabel(path) + ": " + why;
        return false;
    };
    if (const QString why = NotAFile(path); !why.isEmpty())
        return failed(why);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(WhyNotSaved(path, file.errorString()));
    // Flush before commit: commit alone misses a short write (disk full) and
    // would rename a truncated file over the old one.
    QString why;
    if (!WriteFully(file, bytes, &why)) {
        file.cancelWriting();
        return failed(why);
    }
    if (!file.commit())
        return failed(file.errorString());
    if (error)
        error->clear();
    return true;
}
