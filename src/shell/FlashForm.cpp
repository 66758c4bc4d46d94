#include "FlashForm.h"

#include "ProgramDir.h"
#include "ui_FlashForm.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QResource>
#include <QScreen>
#include <QTimer>

TFrmFlashForm::TFrmFlashForm(const QPixmap &picture)
    : QDialog(nullptr, Qt::FramelessWindowHint | Qt::Dialog), m_ui(std::make_unique<Ui::FrmFlashForm>())
{
    m_ui->setupUi(this);
    m_imgFlash = m_ui->ImgFlash;
    m_imgFlash->setPixmap(picture);
    m_imgFlash->move(0, 0);
    m_imgFlash->resize(picture.size());
    setFixedSize(picture.size());
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(250);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &TFrmFlashForm::Timer1Timer);
    connect(m_timer2, &QTimer::timeout, this, &TFrmFlashForm::Timer2Timer);
}

TFrmFlashForm::~TFrmFlashForm() = default;

void TFrmFlashForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFrmFlashForm::FormShow()
{
    m_tickCount = 0;
    m_timer1->start();
    m_timer2->start();
}

void TFrmFlashForm::Timer2Timer()
{
    ++m_tickCount;
}

void TFrmFlashForm::Timer1Timer()
{
    m_timer1->stop();
    while (m_tickCount < 2)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    m_timer2->stop();
    close();
}

bool ShowSplashScreen()
{
    const QString file = ProgramDir() + QStringLiteral("Picvault.rcc");
    // The picture library is loaded only for the life of the splash.
    if (!QResource::registerResource(file))
        return false;
    const QPixmap picture(QStringLiteral(":/jpeg/ImgFlash"));
    bool shown = false;
    if (!picture.isNull()) {
        TFrmFlashForm form(picture);
        form.exec();
        shown = true;
    }
    QResource::unregisterResource(file);
    return shown;
}
