#pragma once

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

class UpdateCheck;

namespace Ui {
class frmExeUpdateForm;
}

// Keeps the update server's address and asks it for a newer version; when one
// exists, hands over to the updater beside the program and ends Tellmont.
class TfrmExeUpdateForm : public QDialog
{
    Q_OBJECT

public:
    // Starting the updater and ending the program are replaceable so that tests
    // can watch them. The start hook returns whether the program was started.
    using StartProgramHook = std::function<bool(const QString &program)>;
    using ExitHook = std::function<void(int code)>;
    static void SetStartProgramHook(StartProgramHook hook);
    static void SetExitHook(ExitHook hook);

    explicit TfrmExeUpdateForm(QWidget *parent = nullptr);
    ~TfrmExeUpdateForm() override;

    void FormShow();
    void Button1Click();
    void Button2Click();
    void Button3Click();

    bool isChecking() const;

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    static QString settingsFileName();

    std::unique_ptr<Ui::frmExeUpdateForm> m_ui;
    QPointer<UpdateCheck> m_check;
};
