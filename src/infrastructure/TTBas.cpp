#include "TTBas.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

TTBas::TTBas(QWidget *parent)
    : QDialog(parent)
{
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(13);
    setFont(f);
    resize(534, 346);

    m_baseClass = new QLineEdit(this);
    m_baseClass->setObjectName(QStringLiteral("BaseClass"));
    m_baseClass->setText(QStringLiteral("不可见，基类专用"));
    m_baseClass->setFrame(false);
    m_baseClass->hide();

    m_edtSetFoust = new QLineEdit(this);
    m_edtSetFoust->setObjectName(QStringLiteral("EdtSetFoust"));
    m_edtSetFoust->setText(QStringLiteral("EdtSetFoust"));
    m_edtSetFoust->setGeometry(0, 0, 0, 0);

    // Key preview: the window sees every key before the focused control.
    qApp->installEventFilter(this);
}

TTBas::~TTBas()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

QColor TTBas::FocusTint()
{
    return QColor(206, 198, 251);
}

QColor TTBas::LeaveColour()
{
    return QApplication::palette().color(QPalette::Button);
}

bool TTBas::IsTintedKind(const QWidget *control)
{
    return qobject_cast<const QLineEdit *>(control) || qobject_cast<const QComboBox *>(control)
        || qobject_cast<const QAbstractSpinBox *>(control) // date pickers and currency editors
        || qobject_cast<const QPlainTextEdit *>(control) || qobject_cast<const QTextEdit *>(control);
}

void TTBas::AttachFocusTint(QWidget *control)
{
    if (control)
        control->setProperty("tellmontFocusTint", true);
}

void TTBas::SetFreeOnClose(bool on)
{
    setAttribute(Qt::WA_DeleteOnClose, on);
}

static void setFieldColour(QWidget *control, const QColor &colour)
{
    QPalette p = control->palette();
    p.setColor(QPalette::Base, colour);
    if (auto *combo = qobject_cast<QComboBox *>(control); combo && !combo->isEditable())
        p.setColor(QPalette::Button, colour);
    control->setPalette(p);
}

void TTBas::BaseClassEnter(QWidget *control)
{
    if (IsTintedKind(control))
        setFieldColour(control, FocusTint());
}

void TTBas::BaseClassExit(QWidget *control)
{
    if (IsTintedKind(control))
        setFieldColour(control, LeaveColour());
}

void TTBas::SelectNextControl()
{
    focusNextChild();
}

void TTBas::FormKeyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        SelectNextControl();
}

void TTBas::FormShow()
{
    // Fields set to the Chinese input mode drop any input method given at design
    // time; the process-wide name is empty, so the system's current one stays.
    const auto kids = children();
    for (QObject *child : kids) {
        auto *edit = qobject_cast<QLineEdit *>(child);
        if (edit && edit->property("imeMode").toString() == QLatin1String("Chinese"))
            edit->setProperty("inputMethodName", QString());
    }
}

bool TTBas::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto *w = static_cast<QWidget *>(watched);
        if ((w == this || isAncestorOf(w)) && isVisible()) {
            // A key a control ignores travels on to its parents; the window
            // handles it once, at the control it was sent to.
            const bool propagated = event == m_lastKey && m_lastReceiver && w != m_lastReceiver
                                    && w->isAncestorOf(m_lastReceiver);
            if (!propagated) {
                m_lastKey = event;
                m_lastReceiver = w;
                FormKeyDown(static_cast<QKeyEvent *>(event));
            }
        }
        return false;
    }
    if (watched->isWidgetType() && watched != this && watched->property("tellmontFocusTint").toBool()) {
        auto *w = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::FocusIn && isAncestorOf(w))
            BaseClassEnter(w);
        else if (event->type() == QEvent::FocusOut && isAncestorOf(w))
            BaseClassExit(w);
    }
    return false;
}

void TTBas::showEvent(QShowEvent *event)
{
    // Enter belongs to the field navigation, not to a default button.
    const auto buttons = findChildren<QPushButton *>();
    for (QPushButton *b : buttons) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    QDialog::showEvent(event);
    FormShow();
}

void TTBas::keyPressEvent(QKeyEvent *event)
{
    // Esc does not close a window of this family by itself; descendants decide.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
