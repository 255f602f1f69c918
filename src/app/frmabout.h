#pragma once

#include <QDialog>

class AboutPanel;
class QPushButton;

// The About box: the program's pictures, version and description, until "OK".
class frmAbout final : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

public Q_SLOTS:
    void reject() override; // Escape and the close box close it like OK

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    AboutPanel *m_panel = nullptr;
    QPushButton *m_cmdOK = nullptr;
};
