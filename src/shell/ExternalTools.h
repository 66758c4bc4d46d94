#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Starts the first of the named programs found on the search path; failures are ignored.
bool StartFirstProgram(const QStringList &names);
QStringList CalculatorPrograms();
QStringList TextEditorPrograms();
// Asks the desktop to open a document; failures are ignored.
bool OpenDocument(const QString &path);

// Tests observe starts and opens instead of launching anything.
void SetExternalToolHooks(std::function<bool(const QStringList &)> start, std::function<bool(const QString &)> open);
