#include "files/FileWrite.h"

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
