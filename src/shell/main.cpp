#include "StartUp.h"
#include "TellmontApplication.h"

#include <QIcon>

int main(int argc, char **argv)
{
    TellmontApplication app(argc, argv);
    // The pictures and the skin are compiled into a static library.
    Q_INIT_RESOURCE(forms);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/forms/tellmont.png")));
    return RunTellmont();
}
