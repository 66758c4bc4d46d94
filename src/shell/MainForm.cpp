#include "MainForm.h"

#include "ChildWindows.h"
#include "CurrentAccount.h"
#include "ExternalTools.h"
#include "Messages.h"
#include "NavigationBar.h"
#include "ProgramDir.h"

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
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMainForm"));
    setWindowTitle(QStringLiteral("Tellmont v1.0"));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    setFont(f);
    resize(821, 513 + 80);

    m_imgClient = new QMdiArea(this);
    m_imgClient->setObjectName(QStringLiteral("imgClient"));
    QLinearGradient background(0, 0, 0, 800);
    background.setColorAt(0, QColor(0xdd, 0xe7, 0xf5));
    background.setColorAt(1, QColor(0x8f, 0xa9, 0xd0));
    m_imgClient->setBackground(background);

    m_groupBar = new NavigationBar;
    m_groupBar->setObjectName(QStringLiteral("RzGroupBar1"));
    m_sizePanel = new SizePanel(m_groupBar, 199, this);
    m_sizePanel->setObjectName(QStringLiteral("RzSizePanel1"));
    connect(m_sizePanel, &SizePanel::HotSpotClick, this, &TfrmMainForm::RzSizePanel1HotSpotClick);

    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_sizePanel);
    layout->addWidget(m_imgClient, 1);
    setCentralWidget(central);

    buildMenusAndToolbar();
    buildNavigation();
    buildStatusBar();
    buildTray();

    QFile skin(QStringLiteral(":/forms/skin.qss"));
    if (skin.open(QIODevice::ReadOnly))
        setStyleSheet(QString::fromUtf8(skin.readAll()));
}

TfrmMainForm::~TfrmMainForm() = default;

QAction *TfrmMainForm::makeAction(const QString &objectName, const QString &caption, const QString &hint,
                                  void (TfrmMainForm::*handler)(), bool enabled)
{
    auto *a = new QAction(caption, this);
    a->setObjectName(objectName);
    a->setStatusTip(hint);
    a->setToolTip(hint);
    a->setEnabled(enabled);
    if (handler)
        connect(a, &QAction::triggered, this, handler);
    return a;
}

QAction *TfrmMainForm::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void TfrmMainForm::buildMenusAndToolbar()
{
    QStyle *s = style();
    auto has = [](const QString &code) { return bool(ChildWindowFactory(code)); };

    QAction *openAccount = makeAction(QStringLiteral("dxBarButton2"), QStringLiteral("Open Account(&B)"),
                                      QStringLiteral("Open Account(B)"), &TfrmMainForm::dxBarButton2Click,
                                      bool(OpenAccountDialogFactory()));
    openAccount->setIcon(s->standardIcon(QStyle::SP_DirOpenIcon));
    QAction *backup = makeAction(QStringLiteral("dxBarButton93"), QStringLiteral("Backup(&B)"), QStringLiteral("Backup"),
                                 &TfrmMainForm::dxBarButton93Click, bool(BackupDialogFactory()));
    backup->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));
    QAction *exit = makeAction(QStringLiteral("dxBarButton4"), QStringLiteral("Exit(&X)"), QStringLiteral("Exit"),
                               &TfrmMainForm::dxBarButton4Click);
    exit->setIcon(s->standardIcon(QStyle::SP_DialogCloseButton));
    QAction *group = makeAction(QStringLiteral("dxBarButton40"), QStringLiteral("Group(&G)"), QStringLiteral("Add Group"),
                                nullptr, has(QStringLiteral("0102")));
    group->setIcon(s->standardIcon(QStyle::SP_FileDialogListView));
    connect(group, &QAction::triggered, this, [this] { OpenChildWindow(QStringLiteral("0102")); });
    // "&&" shows the ampersand itself; the single "&" marks the access key.
    QAction *income = makeAction(QStringLiteral("dxBarButton105"), QStringLiteral("Income && Expense(&I)"),
                                 QStringLiteral("Income & Expense"), nullptr, has(QStringLiteral("0201")));
    income->setIcon(s->standardIcon(QStyle::SP_FileDialogDetailedView));
    connect(income, &QAction::triggered, this, [this] { OpenChildWindow(QStringLiteral("0201")); });
    QAction *address = makeAction(QStringLiteral("dxBarButton62"), QStringLiteral("Address Book(&B)"),
                                  QStringLiteral("Address Book(B)"), nullptr, has(QStringLiteral("0301")));
    connect(address, &QAction::triggered, this, [this] { OpenChildWindow(QStringLiteral("0301")); });
    QAction *calc = makeAction(QStringLiteral("dxBarButton63"), QStringLiteral("Calculator(&C)"),
                               QStringLiteral("Calculator(C)"), &TfrmMainForm::RzGroup3Items1Click);
    QAction *notes = makeAction(QStringLiteral("dxBarButton64"), QStringLiteral("Note Book(&N)"),
                                QStringLiteral("Note Book(N)"), &TfrmMainForm::RzGroup3Items2Click);
    QAction *title = makeAction(QStringLiteral("dxBarButton61"), QStringLiteral("Report Title(&A)"),
                                QStringLiteral("Report Title"), &TfrmMainForm::dxBarButton61Click,
                                bool(ReportTitleDialogFactory()));
    title->setIcon(s->standardIcon(QStyle::SP_FileDialogInfoView));
    QAction *password = makeAction(QStringLiteral("dxBarButton97"), QStringLiteral("Change Password(&P)"),
                                   QStringLiteral("Change Password"), &TfrmMainForm::dxBarButton97Click,
                                   bool(ChangePasswordDialogFactory()));
    password->setIcon(s->standardIcon(QStyle::SP_DialogResetButton));
    QAction *help = makeAction(QStringLiteral("dxBarButton75"), QStringLiteral("Help(&H)"), QStringLiteral("Help"),
                               &TfrmMainForm::dxBarButton75Click);
    help->setIcon(s->standardIcon(QStyle::SP_DialogHelpButton));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::ApplicationShortcut);
    QAction *update = makeAction(QStringLiteral("dxBarButton109"), QStringLiteral("Online Update"),
                                 QStringLiteral("Online Update"), &TfrmMainForm::dxBarButton109Click,
                                 bool(UpdateDialogFactory()));
    update->setIcon(s->standardIcon(QStyle::SP_BrowserReload));

    QMenuBar *bar = menuBar();
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->addActions({openAccount, backup, exit});
    QMenu *incomeMenu = bar->addMenu(QStringLiteral("&Income And Expense"));
    incomeMenu->addActions({group, income});
    QMenu *tools = bar->addMenu(QStringLiteral("&Tools"));
    tools->addActions({address, calc, notes});
    QMenu *setting = bar->addMenu(QStringLiteral("&Setting"));
    setting->addActions({title, password});
    QMenu *helpMenu = bar->addMenu(QStringLiteral("&Help"));
    helpMenu->addActions({help, update});
    for (QMenu *m : {file, incomeMenu, tools, setting, helpMenu})
        m->setToolTipsVisible(true);

    // The toolbar shows the open-account button under a caption of its own.
    QAction *openAccountTool = makeAction(QStringLiteral("dxBarButton2Tool"), QStringLiteral("打开账套(&B)"),
                                          QStringLiteral("Open Account(B)"), &TfrmMainForm::dxBarButton2Click,
                                          openAccount->isEnabled());
    openAccountTool->setIcon(openAccount->icon());
    QToolBar *toolbar = addToolBar(QStringLiteral("Shortcut"));
    toolbar->setObjectName(QStringLiteral("Shortcut"));
    toolbar->setMovable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolbar->setIconSize(QSize(18, 18));
    toolbar->addSeparator();
    toolbar->addActions({openAccountTool, backup});
    toolbar->addSeparator();
    toolbar->addActions({group, income, title, password});
    toolbar->addSeparator();
    toolbar->addActions({help, update});
    toolbar->addSeparator();
    toolbar->addAction(exit);
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
    QStatusBar *bar = statusBar();
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
