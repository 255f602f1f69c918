#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class frmQY2;

// The Options dialog: what shows at start-up ("1901", "1902", stored whenever the dialog closes)
// and how the pop-up menu behaves (the main window's AutoPopUpMenu and PopUpDelay, changed only
// by Apply or OK). Modeless; opened from the pop-up menu's "&About" drop-down. "Start with the
// desktop" shows and, on Apply or OK, changes the login entry (common/autostart.h).
class frmOptions final : public QDialog
{
    Q_OBJECT

public:
    static constexpr double SizeTwips = 4060;
    static constexpr int MinDelay = 3;
    static constexpr int MaxDelay = 9;

    explicit frmOptions(frmQY2 &main, QWidget *parent = nullptr);

    // False when the login entry could not be changed (the user has been told).
    bool ApplyOptions();

public Q_SLOTS:
    void reject() override; // Escape closes the dialog like Cancel

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void cmdOK_Click();
    bool applyStartWithDesktop();

    frmQY2 &m_main;
    QCheckBox *m_chkShowSplashScreen = nullptr;
    QCheckBox *m_chkShowToolBar = nullptr;
    QCheckBox *m_chkStartWithDesktop = nullptr;
    QCheckBox *m_chkAutoPopUpMenu = nullptr;
    QSlider *m_sldPopUpDelay = nullptr;
    QLabel *m_lblPopUpSpeed = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdCancel = nullptr;
    QPushButton *m_cmdApply = nullptr;
};
