#pragma once

#include "Messages.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

// Records every message box and answers it from a queue (default: the box's
// default button, or OK). Installed for its lifetime.
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();

    void answer(QMessageBox::StandardButton button) { m_answers << button; }
    const QList<MessageRequest> &messages() const { return m_messages; }
    QStringList texts() const;
    QString lastText() const { return m_messages.isEmpty() ? QString() : m_messages.last().text; }
    int count() const { return int(m_messages.size()); }
    void clear() { m_messages.clear(); }

private:
    QList<MessageRequest> m_messages;
    QList<QMessageBox::StandardButton> m_answers;
};

// A temporary copy of the runtime layout (db, ini, rep, help, Picvault.rcc)
// that ProgramDir() points at for the lifetime of the object.
class TempProgramDir
{
public:
    TempProgramDir();
    ~TempProgramDir();
    QString path() const; // with trailing '/'
    bool isValid() const { return m_valid; }

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};

// Opens a session on a book of the temporary layout and fills the current-account
// record as opening from the registry would. Returns false when the book cannot be connected.
bool OpenTestBook(const QString &fileName = QStringLiteral("Sample.tqx"), const QString &accountName = QStringLiteral("Sample"));
