#pragma once

#include <QDialog>
#include <QPointer>

class QLineEdit;

// Base of the editing dialogs, list windows and the account gate: Enter moves
// to the next control, fields attached to the focus handlers are tinted while
// they have the focus, and the input method is reset on show.
class TTBas : public QDialog
{
    Q_OBJECT
public:
    explicit TTBas(QWidget *parent = nullptr);
    ~TTBas() override;

    // The tint of a focused field and the colour it gets after leaving.
    static QColor FocusTint();
    static QColor LeaveColour();
    // True for the field kinds that take the tint (edits, combo boxes, date and
    // currency editors, memos).
    static bool IsTintedKind(const QWidget *control);

    // Attaches a field to BaseClassEnter/BaseClassExit.
    void AttachFocusTint(QWidget *control);
    // Windows that free themselves when closed.
    void SetFreeOnClose(bool on);

    QLineEdit *BaseClass() const { return m_baseClass; }
    QLineEdit *EdtSetFoust() const { return m_edtSetFoust; }

protected:
    virtual void FormKeyDown(QKeyEvent *event);
    virtual void FormShow();
    void BaseClassEnter(QWidget *control);
    void BaseClassExit(QWidget *control);
    // Moves the focus to the next control in tab order.
    void SelectNextControl();

    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLineEdit *m_baseClass;
    QLineEdit *m_edtSetFoust;
    const QEvent *m_lastKey = nullptr;
    QPointer<QWidget> m_lastReceiver;
};
