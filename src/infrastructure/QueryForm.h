#pragma once

#include "WinStyleForm.h"

// Base of the search dialogs of the list windows: the family's header and
// buttons, and the filter clauses handed back in WhereText after OK.
class TQueryForm : public TfrmWinStyleForm
{
    Q_OBJECT
public:
    // title: the window title and the header's second line ("Find Item").
    TQueryForm(QWidget *parent, const QString &title);

    // Clauses each beginning with " and "; empty until OK(&Ent).
    QString WhereText;
};
