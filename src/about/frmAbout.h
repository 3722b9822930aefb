#pragma once

#include <QDialog>
#include <QList>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The About box: the program's title and version, the platform line, the
// maker's name and links, the licence the program ships under, and a button
// that starts the system information viewer. It is shown without an owner and without blocking the
// main window, and it deletes itself when it closes.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Starts the system information viewer named in the registry, or says
    // that it can't.
    void StartSysInfo();
    // Reads the string value `SubKeyRef` under the key `KeyName` of the root
    // `KeyRoot` into `KeyVal`; false, with `KeyVal` empty, when it can't.
    static bool GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                            QString& KeyVal);

    // Controls, named as the program names them (also their objectName).
    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblMaker = nullptr;
    QLabel* lblWebsite = nullptr;
    QLabel* lblEmail = nullptr;
    QList<QFrame*> Line1; // the etched separator: a light and a darker line
    QPlainTextEdit* txtLicence = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildLinks();
    void Form_Load();
    void cmdSysInfo_Click();
    void lblEmail_Click();
    void lblWebsite_Click();
};
