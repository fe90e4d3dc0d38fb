#pragma once
// "About Brindlecast": the product title, the version of this build, the
// maker's notice and links to the maker's, the product's and the
// distributor's pages (each opened in the help browser over this window).
// Not modal; asking again brings the open one to the front.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace bc::windows {

class frmAbout final : public QDialog
{
    Q_OBJECT

public:
    // The open About window, loading and showing it when there is none.
    static frmAbout& Show_About(QWidget* parent);
    static frmAbout* Loaded();

    // "major.minor.revision" of this build, without leading zeros.
    static QString Version_Number();

private:
    explicit frmAbout(QWidget* parent);
    ~frmAbout() override;
    void Open_Page(const QString& address);

    QLabel* lblHeading_ = nullptr;
    QLineEdit* txtVersionNumber_ = nullptr;
    QLabel* Label3_ = nullptr;
    QPushButton* Quorinhome_ = nullptr;
    QPushButton* ResellerHomePage_ = nullptr;
    QPushButton* ok_button_ = nullptr;
};

} // namespace bc::windows
