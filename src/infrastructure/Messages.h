#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Everything the program tells the user goes through here. Tests install a hook
// that records each box and answers it, so no test blocks on a modal box.
struct MessageRequest
{
    QWidget *owner = nullptr;
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

using MessageHook = std::function<QMessageBox::StandardButton(const MessageRequest &)>;
void SetMessageHook(MessageHook hook);

// A plain box with its own caption, icon and buttons; returns the button chosen.
QMessageBox::StandardButton ShowPlainMessage(QWidget *owner, const QString &text, const QString &caption,
                                             QMessageBox::Icon icon,
                                             QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// Kind 1: information, caption "Message", OK; returns false.
// Kind 2: Yes/No question, caption "Message", information icon, No default; true for Yes.
// Any other kind shows nothing and returns false.
bool ShowMessageBox(QWidget *owner, const QString &text, int kind);
