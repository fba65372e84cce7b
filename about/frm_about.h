#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace pbp {

class LinkLabel;

// The About window: product name with its build, a picture, the maker's notices and two web
// links, and OK. Display() fills it from the string table and shows it modally.
class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Sets the window up and shows it modally; returns when it has been closed.
    void Display();

    // The build text of the running program, "Build 11.0.1088" for version 11.0.1088.
    static QString BuildText();

  private:
    void cmdOK_Click();
    void lblMarketingMessageLink1_Click();
    void lblMarketingMessageLink2_Click();
    void OpenLink(const LinkLabel* link);

    QLabel* pctAboutSplash;
    QLabel* lblTitle;
    QLabel* lblDescription;
    QLabel* lblMarketingMessage1;
    LinkLabel* lblMarketingMessageLink1;
    QLabel* lblMarketingMessage2;
    LinkLabel* lblMarketingMessageLink2;
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;
};

}  // namespace pbp
