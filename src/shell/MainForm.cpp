#include "MainForm.h"

#include "ChildWindows.h"
#include "CurrentAccount.h"
#include "ExternalTools.h"
#include "Messages.h"
#include "NavigationBar.h"
#include "ProgramDir.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QToolButton>

bool MainFormShown = false;

namespace {
const char *const kHint = "Hint";

QString productTitle()
{
    const QStringList parts = QStringLiteral(TELLMONT_VERSION_TEXT).split(QLatin1Char('.'));
    return QStringLiteral(TELLMONT_PRODUCT_NAME " v") + parts.value(0) + QLatin1Char('.') + parts.value(1, QStringLiteral("0"));
}
}

TfrmMainForm::TfrmMainForm(QWidget *parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::frmMainForm>())
{
    m_ui->setupUi(this);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    setFont(f);

    m_imgClient = m_ui->imgClient;
    QLinearGradient background(0, 0, 0, 800);
    background.setColorAt(0, QColor(0xdd, 0xe7, 0xf5));
    background.setColorAt(1, QColor(0x8f, 0xa9, 0xd0));
    m_imgClient->setBackground(background);

    m_groupBar = new NavigationBar;
    m_groupBar->setObjectName(QStringLiteral("RzGroupBar1"));
    m_sizePanel = new SizePanel(m_groupBar, 199, this);
    m_sizePanel->setObjectName(QStringLiteral("RzSizePanel1"));
    connect(m_sizePanel, &SizePanel::HotSpotClick, this, &TfrmMainForm::RzSizePanel1HotSpotClick);
    m_sizePanel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_ui->layClient->insertWidget(0, m_sizePanel);
    m_ui->layClient->setStretchFactor(m_imgClient, 1);

    buildMenusAndToolbar();
    buildNavigation();
    buildStatusBar();
    buildTray();

    QFile skin(QStringLiteral(":/forms/skin.qss"));
    if (skin.open(QIODevice::ReadOnly))
        setStyleSheet(QString::fromUtf8(skin.readAll()));
}

TfrmMainForm::~TfrmMainForm() = default;

QAction *TfrmMainForm::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void TfrmMainForm::buildMenusAndToolbar()
{
    QStyle *s = style();
    auto has = [](const QString &code) { return bool(ChildWindowFactory(code)); };
    auto wire = [this, s](QAction *a, QStyle::StandardPixmap icon, void (TfrmMainForm::*handler)(), bool enabled) {
        if (icon != QStyle::SP_CustomBase)
            a->setIcon(s->standardIcon(icon));
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, handler);
    };
    const Ui::frmMainForm &ui = *m_ui;
    wire(ui.dxBarButton2, QStyle::SP_DirOpenIcon, &TfrmMainForm::dxBarButton2Click, bool(OpenAccountDialogFactory()));
    // The toolbar shows the open-account command under a caption of its own.
    wire(ui.dxBarButton2Tool, QStyle::SP_DirOpenIcon, &TfrmMainForm::dxBarButton2Click, ui.dxBarButton2->isEnabled());
    wire(ui.dxBarButton93, QStyle::SP_DialogSaveButton, &TfrmMainForm::dxBarButton93Click, bool(BackupDialogFactory()));
    wire(ui.dxBarButton4, QStyle::SP_DialogCloseButton, &TfrmMainForm::dxBarButton4Click, true);
    wire(ui.dxBarButton40, QStyle::SP_FileDialogListView, &TfrmMainForm::dxBarButton40Click, has(QStringLiteral("0102")));
    wire(ui.dxBarButton105, QStyle::SP_FileDialogDetailedView, &TfrmMainForm::dxBarButton105Click,
         has(QStringLiteral("0201")));
    wire(ui.dxBarButton62, QStyle::SP_CustomBase, &TfrmMainForm::dxBarButton62Click, has(QStringLiteral("0301")));
    wire(ui.dxBarButton63, QStyle::SP_CustomBase, &TfrmMainForm::RzGroup3Items1Click, true);
    wire(ui.dxBarButton64, QStyle::SP_CustomBase, &TfrmMainForm::RzGroup3Items2Click, true);
    wire(ui.dxBarButton61, QStyle::SP_FileDialogInfoView, &TfrmMainForm::dxBarButton61Click,
         bool(ReportTitleDialogFactory()));
    wire(ui.dxBarButton97, QStyle::SP_DialogResetButton, &TfrmMainForm::dxBarButton97Click,
         bool(ChangePasswordDialogFactory()));
    wire(ui.dxBarButton75, QStyle::SP_DialogHelpButton, &TfrmMainForm::dxBarButton75Click, true);
    wire(ui.dxBarButton109, QStyle::SP_BrowserReload, &TfrmMainForm::dxBarButton109Click, bool(UpdateDialogFactory()));
}

void TfrmMainForm::buildNavigation()
{
    QStyle *s = style();
    auto has = [](const QString &code) { return bool(ChildWindowFactory(code)); };
    auto open = [this](const char *code) { return [this, code] { OpenChildWindow(QLatin1String(code)); }; };

    m_groupBar->addGroup(QStringLiteral("groupList"), QStringLiteral("Income && Expense"), false);
    QToolButton *b = m_groupBar->addItem(QStringLiteral("groupListItems1"), QStringLiteral("Group"),
                                         s->standardIcon(QStyle::SP_FileDialogListView));
    b->setEnabled(has(QStringLiteral("0102")));
    connect(b, &QToolButton::clicked, this, open("0102"));
    b = m_groupBar->addItem(QStringLiteral("RzGroup2Items0"), QStringLiteral("Income and expense"),
                            s->standardIcon(QStyle::SP_FileDialogDetailedView));
    b->setEnabled(has(QStringLiteral("0201")));
    connect(b, &QToolButton::clicked, this, open("0201"));

    m_groupBar->addGroup(QStringLiteral("RzGroup3"), QStringLiteral("Tools"), false);
    b = m_groupBar->addItem(QStringLiteral("RzGroup3Items0"), QStringLiteral("Address Book"),
                            s->standardIcon(QStyle::SP_DirHomeIcon));
    b->setEnabled(has(QStringLiteral("0301")));
    connect(b, &QToolButton::clicked, this, open("0301"));
    b = m_groupBar->addItem(QStringLiteral("RzGroup3Items1"), QStringLiteral("Calculator"),
                            s->standardIcon(QStyle::SP_ComputerIcon));
    connect(b, &QToolButton::clicked, this, &TfrmMainForm::RzGroup3Items1Click);
    b = m_groupBar->addItem(QStringLiteral("RzGroup3Items2"), QStringLiteral("Note book"),
                            s->standardIcon(QStyle::SP_FileIcon));
    connect(b, &QToolButton::clicked, this, &TfrmMainForm::RzGroup3Items2Click);

    m_groupBar->addGroup(QStringLiteral("RzGroup1"), QStringLiteral("Setting"), true);
    b = m_groupBar->addItem(QStringLiteral("RzGroup1Items0"), QStringLiteral("Change password"),
                            s->standardIcon(QStyle::SP_DialogResetButton));
    b->setEnabled(bool(ChangePasswordDialogFactory()));
    connect(b, &QToolButton::clicked, this, &TfrmMainForm::dxBarButton97Click);

    m_groupBar->addGroup(QStringLiteral("RzGroup4"), QStringLiteral("Help"), false);
    b = m_groupBar->addItem(QStringLiteral("RzGroup4Items1"), QStringLiteral("Help"),
                            s->standardIcon(QStyle::SP_DialogHelpButton));
    connect(b, &QToolButton::clicked, this, &TfrmMainForm::dxBarButton75Click);
    b = m_groupBar->addItem(QStringLiteral("RzGroup4Items2"), QStringLiteral("Online update"),
                            s->standardIcon(QStyle::SP_BrowserReload));
    b->setEnabled(bool(UpdateDialogFactory()));
    connect(b, &QToolButton::clicked, this, &TfrmMainForm::dxBarButton109Click);
    b = m_groupBar->addItem(QStringLiteral("RzGroup4Items3"), QStringLiteral("Exit"),
                            s->standardIcon(QStyle::SP_DialogCloseButton));
    b->setStyleSheet(QStringLiteral("color: red;"));
    connect(b, &QToolButton::clicked, this, &TfrmMainForm::dxBarButton4Click);
}

void TfrmMainForm::buildStatusBar()
{
    QStatusBar *bar = m_ui->StatusBar1;
    bar->setFixedHeight(22);
    bar->setSizeGripEnabled(false);
    m_fixedPanel = new QLabel(QStringLiteral("Tellmont - household and small-business cash-flow book"));
    m_fixedPanel->setAlignment(Qt::AlignCenter);
    m_fixedPanel->setMinimumWidth(417);
    m_pelDate = new QLabel;
    m_pelDate->setObjectName(QStringLiteral("pelDate"));
    m_pelDate->setMinimumWidth(184);
    m_pelDate->setStyleSheet(QStringLiteral("color: blue;"));
    m_pelAccount = new QLabel;
    m_pelAccount->setObjectName(QStringLiteral("pelAccount"));
    m_pelAccount->setMinimumWidth(192);
    bar->addWidget(m_fixedPanel);
    bar->addWidget(m_pelDate);
    bar->addWidget(m_pelAccount, 1);
}

void TfrmMainForm::buildTray()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_tray = new QSystemTrayIcon(style()->standardIcon(QStyle::SP_ComputerIcon), this);
    m_tray->setObjectName(QStringLiteral("bsTrayIcon1"));
    m_tray->setToolTip(QStringLiteral("Tellmont"));
    connect(m_tray, &QSystemTrayIcon::activated, this, [this] {
        showNormal();
        activateWindow();
        m_tray->hide();
    });
}

void TfrmMainForm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Minimised, the window lives in the notification area where one exists.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) && m_tray) {
        m_tray->show();
        QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
    }
}

void TfrmMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    FormShow();
}

void TfrmMainForm::FormShow()
{
    if (MainFormShown)
        return;
    m_pelAccount->setText(QStringLiteral("Current Account: ") + CurrentAccountName);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect work = screen->availableGeometry();
        setGeometry(work);
    }
    const QSize client = m_imgClient->viewport()->size();
    m_childHeight = client.height() - style()->pixelMetric(QStyle::PM_TitleBarHeight) / 3;
    m_childWidth = client.width() - 10;
    MainFormShown = true;
    m_pelDate->setText(QStringLiteral("Current Date : ") + QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    setWindowTitle(productTitle());
}

void TfrmMainForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TfrmMainForm::FormResize()
{
    const QSize client = m_imgClient->viewport()->size();
    m_childWidth = client.width();
    m_childHeight = client.height();
    for (QMdiSubWindow *sw : m_imgClient->subWindowList())
        sw->resize(m_childWidth, m_childHeight);
}

void TfrmMainForm::RzSizePanel1HotSpotClick()
{
    // The client area changes size only once the layout has run.
    QMetaObject::invokeMethod(this, &TfrmMainForm::FormResize, Qt::QueuedConnection);
}

QList<QMdiSubWindow *> TfrmMainForm::childFrames() const
{
    return m_imgClient->subWindowList(QMdiArea::CreationOrder);
}

QWidget *TfrmMainForm::childWindow(const QString &moduleCode) const
{
    for (QMdiSubWindow *sw : childFrames())
        if (sw->widget() && sw->widget()->property(kHint).toString() == moduleCode)
            return sw->widget();
    return nullptr;
}

bool TfrmMainForm::FindChildWindow(const QString &moduleCode)
{
    for (QMdiSubWindow *sw : childFrames()) {
        QWidget *w = sw->widget();
        if (!w || w->property(kHint).toString() != moduleCode)
            continue;
        sw->showNormal();
        sw->move(0, 0);
        m_imgClient->setActiveSubWindow(sw);
        sw->raise();
        sw->show();
        return true;
    }
    return false;
}

void TfrmMainForm::OpenChildWindow(const QString &moduleCode)
{
    if (FindChildWindow(moduleCode))
        return;
    const ChildFactory factory = ChildWindowFactory(moduleCode);
    if (!factory)
        return;
    QWidget *child = factory(this, QStringLiteral("0"));
    if (!child)
        return;
    child->setProperty(kHint, moduleCode);
    QMdiSubWindow *sw = m_imgClient->addSubWindow(child);
    sw->setAttribute(Qt::WA_DeleteOnClose);
    sw->setWindowIcon(child->windowIcon());
    // A child that closes or frees itself takes its frame along.
    connect(child, &QObject::destroyed, sw, &QObject::deleteLater);
    if (auto *dialog = qobject_cast<QDialog *>(child))
        connect(dialog, &QDialog::finished, sw, &QWidget::close);
    sw->setGeometry(0, 0, m_childWidth > 0 ? m_childWidth : 700, m_childHeight > 0 ? m_childHeight : 450);
    sw->show();
}

void TfrmMainForm::OpenAnotherAccount()
{
    const DialogFactory factory = OpenAccountDialogFactory();
    if (!factory)
        return;
    QDialog *dialog = factory(nullptr);
    if (!dialog)
        return;
    const int result = dialog->exec();
    if (result == QDialog::Accepted) {
        // Every child goes at once, without its close handling: its session is gone.
        const auto frames = childFrames();
        for (QMdiSubWindow *sw : frames)
            delete sw;
        m_pelAccount->setText(QStringLiteral("Current Account: ") + CurrentAccountName);
    }
    delete dialog;
}

void TfrmMainForm::runDialog(const std::function<QDialog *(QWidget *)> &factory)
{
    if (!factory)
        return;
    QDialog *dialog = factory(this);
    if (!dialog)
        return;
    dialog->exec();
    delete dialog;
}

void TfrmMainForm::dxBarButton2Click()
{
    OpenAnotherAccount();
}

void TfrmMainForm::dxBarButton40Click()
{
    OpenChildWindow(QStringLiteral("0102"));
}

void TfrmMainForm::dxBarButton105Click()
{
    OpenChildWindow(QStringLiteral("0201"));
}

void TfrmMainForm::dxBarButton62Click()
{
    OpenChildWindow(QStringLiteral("0301"));
}

void TfrmMainForm::dxBarButton93Click()
{
    runDialog(BackupDialogFactory());
}

void TfrmMainForm::dxBarButton4Click()
{
    close();
}

void TfrmMainForm::dxBarButton61Click()
{
    runDialog(ReportTitleDialogFactory());
}

void TfrmMainForm::dxBarButton97Click()
{
    runDialog(ChangePasswordDialogFactory());
}

void TfrmMainForm::dxBarButton75Click()
{
    OpenDocument(ProgramDir() + QStringLiteral("help/index.html"));
}

void TfrmMainForm::dxBarButton109Click()
{
    runDialog(UpdateDialogFactory());
}

void TfrmMainForm::RzGroup3Items1Click()
{
    StartFirstProgram(CalculatorPrograms());
}

void TfrmMainForm::RzGroup3Items2Click()
{
    StartFirstProgram(TextEditorPrograms());
}

void TfrmMainForm::closeEvent(QCloseEvent *event)
{
    const auto answer = ShowPlainMessage(this, QStringLiteral("Do you really want to exit the system?"),
                                         QStringLiteral("message"), QMessageBox::Question,
                                         QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes)
        event->accept();
    else
        event->ignore();
}
