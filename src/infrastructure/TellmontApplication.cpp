#include "TellmontApplication.h"

#include "DbError.h"
#include "Messages.h"

#include <QWidget>

TellmontApplication::TellmontApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

void ShowErrorText(const QString &text)
{
    ShowPlainMessage(QApplication::activeWindow(), text, QStringLiteral("Tellmont"), QMessageBox::Critical);
}

bool TellmontApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const DbError &e) {
        ShowErrorText(e.text());
    } catch (const std::exception &e) {
        ShowErrorText(QString::fromLocal8Bit(e.what()));
    }
    return false;
}
