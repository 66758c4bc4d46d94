#pragma once

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class frmDatabaseBackupForm;
}

// Copies the file of the open book to a place the user chooses. The session's
// connection is closed for the copy and reopened, so open windows stay bound.
class TfrmDatabaseBackupForm : public QDialog
{
    Q_OBJECT
public:
    // Asks for the target file; empty when the user cancels. Replaceable for tests.
    using FileChooser = std::function<QString(QWidget *parent)>;
    static void SetFileChooser(FileChooser chooser);
    static QString FileFilter();
    // The chosen name with ".tqx" appended unless it already ends in it (any case).
    static QString BackupFileName(const QString &chosen);

    explicit TfrmDatabaseBackupForm(QWidget *parent = nullptr);
    ~TfrmDatabaseBackupForm() override;

    void btn1Click();
    void edtPathDblClick();
    void btnOKClick();
    void btnCancelClick();

    // The target this dialog has written a complete copy to; empty when none.
    QString CopiedTo() const { return m_copiedTo; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool copyTo(const QString &target, QString *reason);
    void reportFailure(const QString &target, const QString &reason);

    std::unique_ptr<Ui::frmDatabaseBackupForm> m_ui;
    QString m_copiedTo;
};
