#pragma once

#include <QApplication>

// Shows a database or other error thrown out of any event handler in a message
// box, and the program goes on with the window as it was.
class TellmontApplication : public QApplication
{
    Q_OBJECT
public:
    TellmontApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// The error box of the application-level handler.
void ShowErrorText(const QString &text);
