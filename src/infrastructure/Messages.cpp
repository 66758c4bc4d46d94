#include "Messages.h"

#include "Public.h"

#include <QApplication>
#include <QWidget>

namespace {
MessageHook &hook()
{
    static MessageHook h;
    return h;
}
}

void SetMessageHook(MessageHook h)
{
    hook() = std::move(h);
}

QMessageBox::StandardButton ShowPlainMessage(QWidget *owner, const QString &text, const QString &caption,
                                             QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    if (hook())
        return hook()(MessageRequest{owner, text, caption, icon, buttons, defaultButton});
    // Texts keep their carriage returns; the box shows them as line breaks.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(icon, caption, shown, buttons, owner);
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    if (!owner)
        box.setWindowModality(Qt::ApplicationModal);
    SetArrowCursor();
    const int r = box.exec();
    return static_cast<QMessageBox::StandardButton>(r);
}

bool ShowMessageBox(QWidget *owner, const QString &text, int kind)
{
    switch (kind) {
    case 1:
        ShowPlainMessage(owner, text, QStringLiteral("Message"), QMessageBox::Information, QMessageBox::Ok);
        return false;
    case 2:
        return ShowPlainMessage(owner, text, QStringLiteral("Message"), QMessageBox::Information,
                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    default:
        return false;
    }
}
