#include "TestSupport.h"

#include "CurrentAccount.h"
#include "ProgramDir.h"
#include "Tdm.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

MessageRecorder::MessageRecorder()
{
    SetMessageHook([this](const MessageRequest &r) {
        m_messages << r;
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        if (r.defaultButton != QMessageBox::NoButton)
            return r.defaultButton;
        return QMessageBox::Ok;
    });
}

MessageRecorder::~MessageRecorder()
{
    SetMessageHook({});
}

QStringList MessageRecorder::texts() const
{
    QStringList t;
    for (const auto &m : m_messages)
        t << m.text;
    return t;
}

static bool copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString rel = QDir(from).relativeFilePath(src);
        const QString dst = to + QLatin1Char('/') + rel;
        if (QFileInfo(src).isDir()) {
            QDir().mkpath(dst);
        } else {
            QDir().mkpath(QFileInfo(dst).path());
            if (!QFile::copy(src, dst))
                return false;
            QFile(dst).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        }
    }
    return true;
}

TempProgramDir::TempProgramDir()
{
    const QString layout = QStringLiteral(TELLMONT_LAYOUT_DIR);
    m_valid = m_dir.isValid();
    for (const char *sub : {"db", "rep", "help"})
        m_valid = m_valid && copyTree(layout + QLatin1Char('/') + QLatin1String(sub), m_dir.path() + QLatin1Char('/') + QLatin1String(sub));
    QDir().mkpath(m_dir.path() + QStringLiteral("/ini"));
    if (QFile::exists(layout + QStringLiteral("/Picvault.rcc")))
        QFile::copy(layout + QStringLiteral("/Picvault.rcc"), m_dir.path() + QStringLiteral("/Picvault.rcc"));
    SetProgramDir(m_dir.path());
}

TempProgramDir::~TempProgramDir()
{
    CloseSession();
    ClearCurrentAccount();
    SetProgramDir(QString());
}

QString TempProgramDir::path() const
{
    return m_dir.path() + QLatin1Char('/');
}

bool OpenTestBook(const QString &fileName, const QString &accountName)
{
    if (!OpenSession(fileName))
        return false;
    CurrentAccountName = accountName;
    CurrentAccountID = QStringLiteral("1");
    CurrentAccountFile = fileName;
    CurrentAccountPath = ProgramDir() + QStringLiteral("db/") + fileName;
    return true;
}
