#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class FrmFlashForm;
}

class QLabel;
class QTimer;

// The splash window: exactly the picture, shown for about two seconds.
class TFrmFlashForm : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmFlashForm(const QPixmap &picture);
    ~TFrmFlashForm() override;

    QLabel *ImgFlash() const { return m_imgFlash; }
    int TickCount() const { return m_tickCount; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void Timer1Timer();
    void Timer2Timer();

    std::unique_ptr<Ui::FrmFlashForm> m_ui;
    QLabel *m_imgFlash;
    QTimer *m_timer1;
    QTimer *m_timer2;
    int m_tickCount = 0;
};

// Shows the splash picture from Picvault.rcc beside the program and returns when
// the splash has closed. No file or no picture in it: no splash.
// Returns true when a splash was shown.
bool ShowSplashScreen();
