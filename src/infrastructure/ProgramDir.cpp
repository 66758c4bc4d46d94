#include "ProgramDir.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString &overrideDir()
{
    static QString dir;
    return dir;
}
}

QString ProgramDir()
{
    QString dir = overrideDir();
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath();
    dir = QDir::fromNativeSeparators(dir);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

void SetProgramDir(const QString &dir)
{
    overrideDir() = dir;
}
