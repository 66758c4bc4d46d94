#include "QueryForm.h"

#include <QLabel>
#include <QPushButton>

TQueryForm::TQueryForm(QWidget *parent, const QString &title)
    : TfrmWinStyleForm(parent)
{
    setWindowTitle(title);
    Label1()->setText(QStringLiteral("Intruduction"));
    Label2()->setText(title);
    btnOk()->setText(QStringLiteral("OK(&Ent)"));
    btnCancel()->setText(QStringLiteral("Close(&ESC)"));
}
