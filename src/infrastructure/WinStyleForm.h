#pragma once

#include "TTBas.h"

class QFrame;
class QLabel;
class QPushButton;

// Base of the query dialogs and the change-password dialog: a white header,
// a client panel for the descendant's fields and a footer with OK and Cancel.
// Enter also runs OK and Esc cancels.
class TfrmWinStyleForm : public TTBas
{
    Q_OBJECT
public:
    explicit TfrmWinStyleForm(QWidget *parent = nullptr);

    QWidget *Panel1() const { return m_panel1; }
    QWidget *Panel2() const { return m_panel2; }
    QWidget *Panel3() const { return m_panel3; }
    QLabel *Label1() const { return m_label1; }
    QLabel *Label2() const { return m_label2; }
    QLabel *Image1() const { return m_image1; }
    QPushButton *btnOk() const { return m_btnOk; }
    QPushButton *btnCancel() const { return m_btnCancel; }

protected:
    void FormKeyDown(QKeyEvent *event) override;
    void FormShow() override;
    void btnCancelClick();

private:
    QWidget *m_panel1;
    QFrame *m_bevel1;
    QWidget *m_panel2;
    QFrame *m_bevel2;
    QWidget *m_panel3;
    QLabel *m_label1;
    QLabel *m_label2;
    QLabel *m_image1;
    QWidget *m_panel4;
    QPushButton *m_btnOk;
    QPushButton *m_btnCancel;
    QLabel *m_lblParentCom;
};
