#include "StartUp.h"

#include "ChildWindows.h"
#include "FlashForm.h"
#include "MainForm.h"
#include "Tdm.h"

#include <QApplication>
#include <QDialog>

int RunTellmont()
{
    ShowSplashScreen();
    MainFormShown = false;

    const DialogFactory gate = OpenAccountDialogFactory();
    if (!gate)
        return 1;
    QDialog *dialog = gate(nullptr);
    const int result = dialog->exec();
    delete dialog;
    if (result != QDialog::Accepted || TerminationRequested())
        return TerminationRequested() ? 1 : 0;

    TfrmMainForm mainForm;
    const DialogFactory title = ReportTitleDialogFactory();
    // One report-title window exists hidden for the life of the program.
    QDialog *hiddenTitle = title ? title(nullptr) : nullptr;
    QCoreApplication::setApplicationName(QStringLiteral("Tellmont"));
    mainForm.show();
    const int code = QApplication::exec();
    delete hiddenTitle;
    CloseSession();
    return code;
}
