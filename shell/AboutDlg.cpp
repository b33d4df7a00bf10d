#include "shell/AboutDlg.h"

#include <QLabel>
#include <QPainter>

#include "shell/DialogKit.h"
#include "shell/Pictures.h"
#include "shell/Texts.h"

namespace qg {

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 200;

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& place, int pixelSize, bool bold,
                  Qt::Alignment align) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);  // keeps the two blanks of the version line
    label->setGeometry(place);
    label->setAlignment(align);
    label->setWordWrap(true);
    label->setFont(WindowFonts::Label(pixelSize, bold));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

}  // namespace

TMultiDlg::TMultiDlg(QWidget& mainWindow) : TexturedDialog(mainWindow, QSize(kWidth, kHeight)) {
    setObjectName("MultiDlg");
    AddFrame(*this, "WindowFrame", QRect(0, 0, kWidth, kHeight));

    auto* icon = new QLabel(this);
    icon->setObjectName("IconImage");
    icon->setGeometry(16, 14, 48, 48);
    icon->setPixmap(Picture(":/pictures/icon.png").scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    NameLabel_ = MakeLabel(this, "NameLabel", {76, 14, 232, 28}, 24, true, Qt::AlignLeft | Qt::AlignVCenter);
    NameLabel_->setText("Quirko Gyrelle");
    VersionLabel_ = MakeLabel(this, "VersionLabel", {78, 42, 230, 18}, 13, false, Qt::AlignLeft | Qt::AlignVCenter);
    VersionLabel_->setText("Version  V1.5");
    MakersLabel_ = MakeLabel(this, "MakersLabel", {16, 72, 288, 34}, 13, true, Qt::AlignLeft | Qt::AlignTop);
    CreditsLabel_ = MakeLabel(this, "CreditsLabel", {16, 108, 288, 48}, 11, false, Qt::AlignLeft | Qt::AlignTop);

    OKBtn_ = new BitBtn(this, "OKBtn", QRect(234, 163, 70, 27), ":/pictures/glyph_ok.png", BitBtn::kStyleLaid);
    OKBtn_->setText("OK");
    OKBtn_->setIconSize(QSize(17, 17));
    OKBtn_->setFont(WindowFonts::AboutButton());
    OKBtn_->setDefault(true);
    connect(OKBtn_, &QPushButton::clicked, this, &QDialog::accept);
}

void TMultiDlg::ApplyTexts(int language) {
    setAccessibleName(IsGerman(language) ? QString::fromUtf8("Über Quirko Gyrelle") : QStringLiteral("About Quirko Gyrelle"));
    if (IsGerman(language)) {
        MakersLabel_->setText(QString::fromUtf8("Vier Drehpuzzles aus der Werkstatt von Quirko Games."));
        CreditsLabel_->setText(QString::fromUtf8(
            "Gebaut mit Qt 6, FluidSynth und SDL2. Die Musik spielt der SoundFont FluidR3_GM von Frank Wen "
            "oder TimGM6mb, je nachdem, welcher installiert ist. Freie Software unter der GPL-3.0-or-later."));
    } else {
        MakersLabel_->setText("Four rotation puzzles from the workshop of Quirko Games.");
        CreditsLabel_->setText(
            "Built on Qt 6, FluidSynth and SDL2. The music is played with the SoundFont FluidR3_GM by Frank Wen, "
            "or TimGM6mb, whichever is installed. Free software under the GPL-3.0-or-later.");
    }
    setAccessibleDescription(MakersLabel_->text());
}

void TMultiDlg::paintEvent(QPaintEvent* event) {
    TexturedDialog::paintEvent(event);
    // A fine rule under the name.
    QPainter painter(this);
    painter.setPen(QColor(0, 0, 0, 90));
    painter.drawLine(16, 66, width() - 17, 66);
}

}  // namespace qg
