#include "StartUp.h"
#include "TellmontApplication.h"

#include <QIcon>

int main(int argc, char **argv)
{
    TellmontApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/forms/tellmont.png")));
    return RunTellmont();
}
