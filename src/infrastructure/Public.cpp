#include "Public.h"

#include "IniFile.h"
#include "ProgramDir.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

bool PermissionCheck(const QString &)
{
    return true;
}

void SetWaitCursor()
{
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void SetArrowCursor()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

QString ConfiguredInputMethod()
{
    return IniFile(ProgramDir() + QStringLiteral("Connect.ini"))
        .ReadString(QStringLiteral("IME"), QStringLiteral("CURIME"), QStringLiteral("Error"));
}

void ApplyInputMethod(QWidget *container)
{
    if (!container)
        return;
    const QString name = ConfiguredInputMethod();
    // The edit kinds that take an input method, by exact class: plain and data
    // edits are line edits here, memos plain text edits, currency edits spin
    // boxes, the data combo box and pick edit combo boxes.
    static const char *const kinds[] = {"QLineEdit", "QPlainTextEdit", "QDoubleSpinBox", "QComboBox"};
    const auto children = container->children();
    for (QObject *child : children) {
        if (!child->isWidgetType())
            continue;
        for (const char *kind : kinds) {
            if (qstrcmp(child->metaObject()->className(), kind) == 0) {
                child->setProperty("inputMethodName", name);
                break;
            }
        }
    }
}
