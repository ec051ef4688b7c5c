#include "update/SetupProgram.h"

#include <QFile>

namespace SetupProgram {

bool makeExecutable(const QString &path)
{
#ifdef Q_OS_WIN
    return QFile::exists(path);
#else
    QFile file(path);
    if (!file.exists())
        return false;
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser
                               | QFileDevice::ReadOwner | QFileDevice::ReadUser);
#endif
}

} // namespace SetupProgram
