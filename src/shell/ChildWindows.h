#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;

// The child window class of each module code, created owned by the main window
// with a mode text; the main window disables the entries of codes with no class.
using ChildFactory = std::function<QWidget *(QWidget *owner, const QString &mode)>;
ChildFactory ChildWindowFactory(const QString &moduleCode);

// The modal dialogs the main window opens; empty when the dialog is not available.
using DialogFactory = std::function<QDialog *(QWidget *owner)>;
DialogFactory OpenAccountDialogFactory();
DialogFactory ChangePasswordDialogFactory();
DialogFactory BackupDialogFactory();
DialogFactory ReportTitleDialogFactory();
DialogFactory UpdateDialogFactory();

// Tests replace a factory; an empty function restores the built-in one.
void SetChildWindowFactory(const QString &moduleCode, ChildFactory factory);
void SetOpenAccountDialogFactory(DialogFactory factory);
