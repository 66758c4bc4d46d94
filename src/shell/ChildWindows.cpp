#include "ChildWindows.h"

#include "DatabaseBackupForm.h"
#include "EditpwdForm.h"
#include "ExeUpdateForm.h"
#include "GroupListForm.h"
#include "OpenOrNewAccountForm.h"
#include "PaymentListForm.h"
#include "SetCaptionForm.h"

#include <QDialog>
#include <QHash>

namespace {
QHash<QString, ChildFactory> &childOverrides()
{
    static QHash<QString, ChildFactory> h;
    return h;
}
DialogFactory &openAccountOverride()
{
    static DialogFactory f;
    return f;
}
}

void SetChildWindowFactory(const QString &moduleCode, ChildFactory factory)
{
    if (factory)
        childOverrides().insert(moduleCode, std::move(factory));
    else
        childOverrides().remove(moduleCode);
}

void SetOpenAccountDialogFactory(DialogFactory factory)
{
    openAccountOverride() = std::move(factory);
}

ChildFactory ChildWindowFactory(const QString &moduleCode)
{
    if (childOverrides().contains(moduleCode))
        return childOverrides().value(moduleCode);
    if (moduleCode == QLatin1String("0102"))
        return [](QWidget *owner, const QString &mode) -> QWidget * { return new TfrmgroupListForm(owner, mode); };
    if (moduleCode == QLatin1String("0201"))
        return [](QWidget *owner, const QString &mode) -> QWidget * { return new TfrmPaymentListForm(owner, mode); };
    return {};
}

DialogFactory OpenAccountDialogFactory()
{
    if (openAccountOverride())
        return openAccountOverride();
    return [](QWidget *owner) -> QDialog * { return new TfrmOpenOrNewAccountForm(owner); };
}

DialogFactory ChangePasswordDialogFactory()
{
    return [](QWidget *owner) -> QDialog * { return new TfrmEditpwdForm(owner); };
}

DialogFactory BackupDialogFactory()
{
    return [](QWidget *owner) -> QDialog * { return new TfrmDatabaseBackupForm(owner); };
}

DialogFactory ReportTitleDialogFactory()
{
    return [](QWidget *owner) -> QDialog * { return new TfrmSetCaptionForm(owner); };
}

DialogFactory UpdateDialogFactory()
{
    return [](QWidget *owner) -> QDialog * { return new TfrmExeUpdateForm(owner); };
}
