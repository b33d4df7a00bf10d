#pragma once
// The about window: the program's name and version, who made it and what it
// is built on. One of the textured windows, opened modally over the game.

#include "shell/TexturedDialog.h"

class QLabel;
class QPushButton;

namespace qg {

class TMultiDlg : public TexturedDialog {
    Q_OBJECT
public:
    explicit TMultiDlg(QWidget& mainWindow);

    QLabel* nameLabel() const { return NameLabel_; }
    QLabel* versionLabel() const { return VersionLabel_; }
    QLabel* makersLabel() const { return MakersLabel_; }
    QLabel* creditsLabel() const { return CreditsLabel_; }
    QPushButton* okButton() const { return OKBtn_; }

protected:
    void ApplyTexts(int language) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* NameLabel_ = nullptr;
    QLabel* VersionLabel_ = nullptr;
    QLabel* MakersLabel_ = nullptr;
    QLabel* CreditsLabel_ = nullptr;
    QPushButton* OKBtn_ = nullptr;
};

}  // namespace qg
