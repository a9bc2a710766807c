// The About box (frmAbout): version line, the maker's lines and logos, and the one place where
// the user switches the language of every open window.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QMenu;
class QPushButton;
class QAction;

namespace tambrel {

struct ProgramVersion {
    int major;
    int minor;
    int revision;
};
// The program's own version, from the build.
ProgramVersion programVersion();
// "1.0 Build12": major, ".", minor, string 0, revision, with no further separators.
std::string versionLine(const ProgramVersion& version);

class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
    ~frmAbout() override;

    Q_INVOKABLE void frmAbout_Auto_Init();

    void cmdOK_Click();
    void lblChangeLanguage_Click();
    void mnuLanguageList_Click(int index);

    QMenu* mnuSelectLanguage() const { return mnuSelectLanguage_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    QAction* addLanguageItem(const QString& caption);
    // Checks the item whose tag is the language in force, and only that one.
    void markCurrentLanguage();
    // Keeps each label's designed place and lets a longer translation take the room it needs.
    void fitTextsToLabels();

    QLabel* picCorvelLogo_;
    QLabel* lblVersionTitle_;
    QLabel* lblVersion_;
    QLabel* lblCopyright_;
    QLabel* lblTrademark_;
    QLabel* lblChangeLanguage_;
    QLabel* picPelloraLogo_;
    QLabel* lblPelloraAddress1_;
    QLabel* lblPelloraAddress2_;
    QLabel* lblPelloraAddress3_;
    QPushButton* cmdOK_;
    QMenu* mnuSelectLanguage_;
};

// The one About box, loaded at its first opening or after the close box unloaded it.
frmAbout& aboutBox(QWidget* owner);
// The About box if it is loaded, else nullptr.
frmAbout* loadedAboutBox();
// Shows the About box modally over `owner`.
void showAboutBox(QWidget* owner);

} // namespace tambrel
