#pragma once

#include <QMainWindow>

#include <memory>

namespace Ui {
class frmMainForm;
}

class NavigationBar;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QSystemTrayIcon;
class SizePanel;

// Set false by the start-up before the gate; the main window's first-show work
// runs only while it is false.
extern bool MainFormShown;

// The MDI frame: navigation panel, menus, toolbar, status bar and tray icon.
// It keeps at most one child window per module code.
class TfrmMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfrmMainForm(QWidget *parent = nullptr);
    ~TfrmMainForm() override;

    bool FindChildWindow(const QString &moduleCode);
    void OpenChildWindow(const QString &moduleCode);
    void OpenAnotherAccount();

    QMdiArea *imgClient() const { return m_imgClient; }
    NavigationBar *RzGroupBar1() const { return m_groupBar; }
    SizePanel *RzSizePanel1() const { return m_sizePanel; }
    QLabel *pelDate() const { return m_pelDate; }
    QLabel *pelAccount() const { return m_pelAccount; }
    int ChildWidth() const { return m_childWidth; }
    int ChildHeight() const { return m_childHeight; }
    QAction *action(const QString &objectName) const;
    // The child window (not its frame) of a module code, or null.
    QWidget *childWindow(const QString &moduleCode) const;
    QList<QMdiSubWindow *> childFrames() const;

    void dxBarButton2Click();   // Open Account
    void dxBarButton40Click();  // Group
    void dxBarButton105Click(); // Income & Expense
    void dxBarButton62Click();  // Address Book
    void dxBarButton93Click();  // Backup
    void dxBarButton4Click();   // Exit
    void dxBarButton61Click();  // Report Title
    void dxBarButton97Click();  // Change Password
    void dxBarButton75Click();  // Help
    void dxBarButton109Click(); // Online Update
    void RzGroup3Items1Click(); // Calculator
    void RzGroup3Items2Click(); // Note book

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FormShow();
    void FormResize();
    void RzSizePanel1HotSpotClick();
    void buildMenusAndToolbar();
    void buildNavigation();
    void buildStatusBar();
    void buildTray();
    void runDialog(const std::function<class QDialog *(QWidget *)> &factory);

    std::unique_ptr<Ui::frmMainForm> m_ui;
    QMdiArea *m_imgClient;
    NavigationBar *m_groupBar;
    SizePanel *m_sizePanel;
    QLabel *m_fixedPanel;
    QLabel *m_pelDate;
    QLabel *m_pelAccount;
    QSystemTrayIcon *m_tray = nullptr;
    int m_childWidth = 0;
    int m_childHeight = 0;
};
