#include "shell/HighscoreDlg.h"

#include <QCheckBox>
#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "settings/Settings.h"
#include "shell/DialogKit.h"
#include "shell/Pictures.h"
#include "shell/Texts.h"

namespace qg {

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 200;
constexpr int kRowTop = 20;
constexpr int kRowHeight = 21;
constexpr unsigned kEditColour = 8421631;  // light red
constexpr int kModalResult = 1;            // the same for both buttons

QLabel* RowLabel(QWidget* parent, const char* prefix, int row, int left, int width, Qt::Alignment align) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(prefix) + QString::number(row));
    label->setGeometry(left, kRowTop + kRowHeight * row, width, kRowHeight);
    label->setAlignment(align | Qt::AlignTop);
    return label;
}

BitBtn* BitmapButton(QWidget* parent, const char* name, int left, const char* glyph) {
    auto* button = new BitBtn(parent, name, QRect(left, 164, 70, 27), QString::fromLatin1(glyph), BitBtn::kStyleLaid);
    button->setFont(WindowFonts::Small());
    button->setIconSize(QSize(18, 18));
    return button;
}

}  // namespace

QColor FromColorRef(unsigned colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

THighscoreDlg::THighscoreDlg(QWidget& mainWindow, Settings& settings)
    : THighscoreDlg(mainWindow, settings, ReadPlayerName(settings)) {}

THighscoreDlg::THighscoreDlg(QWidget& mainWindow, Settings& settings, QString playerName)
    : TexturedDialog(mainWindow, QSize(kWidth, kHeight)), settings_(settings), PlayerName_(std::move(playerName)) {
    setObjectName("HighscoreDlg");
    setFont(WindowFonts::Row());
    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);
    setPalette(black);

    cipher_.Init(QString(), 0);

    // The frames around the window, the rows and the check box.
    AddFrame(*this, "WindowFrame", QRect(0, 0, kWidth, kHeight));
    AddFrame(*this, "RowsFrame", QRect(8, 8, 305, 121));
    AddFrame(*this, "ClearFrame", QRect(168, 136, 145, 21));

    // The controls in the order of their tab stops.
    delcheck_ = new QLabel(this);
    delcheck_->setObjectName("delcheck");
    delcheck_->setFont(WindowFonts::Small());
    delcheck_->move(196, 140);

    ClearBox_ = new QCheckBox(this);
    ClearBox_->setObjectName("ClearBox");
    ClearBox_->setGeometry(175, 139, 13, 13);

    OKBtn_ = BitmapButton(this, "OKBtn", 244, ":/pictures/glyph_ok.png");
    OKBtn_->setText("OK");
    OKBtn_->setDefault(true);
    connect(OKBtn_, &QPushButton::clicked, this, &THighscoreDlg::okClick);

    Edit1_ = new QLineEdit(this);
    Edit1_->setObjectName("Edit1");
    Edit1_->setGeometry(52, 28, 177, 19);
    Edit1_->setFrame(false);
    // Placed from the top (PlaceNameText), not centred.
    Edit1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Edit1_->setMaxLength(kNameLength);
    Edit1_->setFocusPolicy(Qt::StrongFocus);  // Tab comes back to it
    QPalette red = Edit1_->palette();
    red.setColor(QPalette::Base, FromColorRef(kEditColour));
    red.setColor(QPalette::Text, Qt::black);
    Edit1_->setPalette(red);
    Edit1_->setText(PlayerName_);
    Edit1_->hide();

    // Closes without saving; Escape is not bound to it.
    CancelBtn_ = BitmapButton(this, "CancelBtn", 168, ":/pictures/glyph_cancel.png");
    connect(CancelBtn_, &QPushButton::clicked, this, [this] { done(kModalResult); });
    // Tab walks the window as it reads: the name, the check box, then the
    // buttons from left to right.
    setTabOrder(Edit1_, ClearBox_);
    setTabOrder(ClearBox_, CancelBtn_);
    setTabOrder(CancelBtn_, OKBtn_);

    for (int r = 0; r < kHighscoreEntries; ++r) {
        num_[static_cast<std::size_t>(r)] = RowLabel(this, "num", r, 20, 40, Qt::AlignRight);
        num_[static_cast<std::size_t>(r)]->setText(QString::number(r + 1) + ".   ");
    }
    for (int r = 0; r < kHighscoreEntries; ++r) pla_[static_cast<std::size_t>(r)] = RowLabel(this, "pla", r, 60, 140, Qt::AlignLeft);
    for (int r = 0; r < kHighscoreEntries; ++r) sco_[static_cast<std::size_t>(r)] = RowLabel(this, "sco", r, 200, 90, Qt::AlignRight);
    // The edit field lies over the row labels made after it.
    Edit1_->raise();
}

int THighscoreDlg::ShowModal(int language, const QString& tableKey, int elapsed) {
    ClearBox_->setChecked(false);
    language_ = language;
    tableKey_ = tableKey;
    newEntry_ = -1;
    Edit1_->hide();

    // What an earlier opening held is never reused.
    HighscoreTable table;
    while (const auto error = table.Load(settings_, cipher_, tableKey))
        if (!ShowLoadError(*error)) return 0;
    table_ = table;

    if (elapsed < 0) return 0;
    if (elapsed > 0) {
        const std::optional<int> at = table_.Rank(elapsed, PlayerName_);
        if (!at) return 0;
        newEntry_ = *at;
    }
    FillRows();
    if (newEntry_ >= 0) {
        Edit1_->setGeometry(60, kRowTop + kRowHeight * newEntry_, 140, 15);
        PlaceNameText();
        Edit1_->setEnabled(true);
        Edit1_->setText(PlayerName_);
        Edit1_->show();
    }
    TexturedDialog::ShowModal(language);
    return 0;
}

void THighscoreDlg::PlaceNameText() {
    // The field is lower than the font: centred, the text lost its top and
    // with it the accents over capitals ("Ö", "Ä"). The baseline goes just
    // low enough for them to stay inside, by the font's own measure; only
    // descenders are cut. The line edit puts the baseline one pixel plus the
    // ascent below the top margin.
    const QFontMetrics metrics(Edit1_->font());
    const int above = -metrics.tightBoundingRect(QStringLiteral("ÄÖÜÅÉÂ")).top();
    const int baseline = above + 1;
    Edit1_->setTextMargins(0, baseline - 1 - metrics.ascent(), 0, 0);
}

void THighscoreDlg::FillRows() {
    for (int r = 0; r < kHighscoreEntries; ++r) {
        pla_[static_cast<std::size_t>(r)]->setText(table_.Name(r));
        const int time = table_.Time(r);
        sco_[static_cast<std::size_t>(r)]->setText(time == 0 ? QStringLiteral("-----") : QString::number(time));
    }
}

void THighscoreDlg::okClick() {
    if (ClearBox_->isChecked()) {
        table_.Clear();
        PlayerName_ = QString::fromLatin1(kEmptyName);
        Edit1_->setText(PlayerName_);
        newEntry_ = -1;
    }
    if (newEntry_ >= 0) {
        PlayerName_ = Edit1_->text();
        table_.SetName(newEntry_, PlayerName_);
        pla_[static_cast<std::size_t>(newEntry_)]->setText(PlayerName_);
    }
    Edit1_->hide();
    // Another game may have confirmed entries into this table since it was
    // loaded: the new entry is ranked into what is stored now, so neither
    // is lost.
    const bool cleared = ClearBox_->isChecked();
    const int time = newEntry_ >= 0 ? table_.Time(newEntry_) : 0;
    std::optional<HighscoreLoadError> damaged;
    const bool saved = settings_.Update([&](const Settings::Snapshot& now) -> QList<Settings::Value> {
        HighscoreTable stored;
        if (!cleared) {
            damaged = stored.Load(now, cipher_, tableKey_);
            if (damaged) return {};
            if (newEntry_ >= 0) newEntry_ = stored.Rank(time, PlayerName_).value_or(-1);
        }
        table_ = stored;
        return table_.Values(cipher_, tableKey_, PlayerName_);
    });
    if (damaged) ShowLoadError(*damaged, false);
    else if (!saved) ShowSaveError();
    done(kModalResult);
}

void THighscoreDlg::done(int result) {
    // The edit field shows only while a new entry is being named.
    Edit1_->hide();
    TexturedDialog::done(result);
}

void THighscoreDlg::ApplyTexts(int language) {
    const bool german = IsGerman(language);
    setWindowTitle(german ? QStringLiteral("Quirko Gyrelle - Bestenliste") : QStringLiteral("Quirko Gyrelle - Highscore"));
    delcheck_->setText(german ? QStringLiteral("alle Einträge löschen") : QStringLiteral("remove all entries"));
    delcheck_->adjustSize();
    // The check box has no caption of its own; screen readers take the label's.
    ClearBox_->setAccessibleName(delcheck_->text());
    Edit1_->setAccessibleName(german ? QStringLiteral("Name für den neuen Eintrag") : QStringLiteral("Name for the new entry"));
    CancelBtn_->setText(german ? QStringLiteral("Abbruch") : QStringLiteral("Cancel"));
}

void THighscoreDlg::showEvent(QShowEvent* event) {
    TexturedDialog::showEvent(event);
    if (newEntry_ >= 0) Edit1_->setFocus(Qt::OtherFocusReason);
    else ClearBox_->setFocus(Qt::OtherFocusReason);
}

void THighscoreDlg::keyPressEvent(QKeyEvent* event) {
    // No button answers Escape, and the window stays open.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    TexturedDialog::keyPressEvent(event);
}

bool THighscoreDlg::ShowLoadError(const HighscoreLoadError& error, bool offerRepair) {
    const QString file = QDir::toNativeSeparators(settings_.FilePath());
    const bool german = IsGerman(language_);
    // Deleting the line would leave a gap that the next solve fills, pushing
    // the last time out: the entries below move up instead.
    const HighscoreTable repaired = HighscoreTable::Salvage(settings_, cipher_, tableKey_);
    const QList<Settings::Value> values = repaired.Values(cipher_, tableKey_, std::nullopt);
    QString lines;
    for (int i = error.index; i < kHighscoreEntries; ++i)
        lines += values[i].name + '=' + QString::fromUtf8(ini::EncodeText(values[i].text)) + '\n';
    const QString head =
        german ? QStringLiteral("Die Bestenliste \"%1\" kann nicht gelesen werden: Eintrag %2 (Wert \"%3\" im "
                                "Abschnitt [%4]) enthält keine Zeit mit Namen.\n\nEinstellungsdatei:\n%5\n\n")
               : QStringLiteral("The high-score table \"%1\" cannot be read: entry %2 (value \"%3\" in section [%4]) "
                                "does not hold a time and a name.\n\nSettings file:\n%5\n\n");
    // A backslash at the end of the line has taken the next line in; only
    // taking it away gives both lines back.
    offerRepair = offerRepair && !error.joinsLines;
    const QString advice =
        error.joinsLines
            ? (german ? QStringLiteral("Es wurde nichts verändert. Die Zeile %3 endet mit einem \\, das die "
                                       "nächste Zeile an sie hängt: bitte diesen \\ am Zeilenende löschen.")
                      : QStringLiteral("Nothing has been changed. The line %3 ends in a \\, which joins the next "
                                       "line to it: please delete that \\ at the end of the line."))
            : (german ? QStringLiteral("Es wurde nichts verändert. Damit keine andere Zeit verloren geht, rücken "
                                       "die Einträge darunter auf: \"Reparieren\" tut das, oder von Hand diese "
                                       "Zeilen anstelle der Zeilen %3 bis %6 schreiben:\n\n%7")
                      : QStringLiteral("Nothing has been changed. So that no other time is lost, the entries below "
                                       "it move up: \"Repair\" does that, or write these lines by hand in place of "
                                       "the lines %3 to %6:\n\n%7"));
    const QString text = head + advice;
    ErrorBox box(text.arg(tableKey_, QString::number(error.index + 1), error.valueName,
                          QString::fromLatin1(kHighscoreSection), file,
                          EntryValueName(tableKey_, kHighscoreEntries - 1), lines.trimmed()),
                 &mainWindow());
    QPushButton* repair = nullptr;
    if (offerRepair) {
        repair = box.addButton(german ? QStringLiteral("Reparieren") : QStringLiteral("Repair"),
                               QMessageBox::ActionRole);
        repair->setObjectName("RepairBtn");
    }
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    if (!repair || box.clickedButton() != repair) return false;
    // Under the writer lock, from what is stored then.
    const bool saved = settings_.Update([&](const Settings::Snapshot& now) -> QList<Settings::Value> {
        HighscoreTable check;
        if (!check.Load(now, cipher_, tableKey_)) return {};  // put right meanwhile
        return HighscoreTable::Salvage(now, cipher_, tableKey_).Values(cipher_, tableKey_, std::nullopt);
    });
    if (!saved) ShowSaveError();
    return saved;
}

void THighscoreDlg::ShowSaveError() {
    const QString file = QDir::toNativeSeparators(settings_.FilePath());
    const QString text = IsGerman(language_)
                             ? QStringLiteral("Die Bestenliste konnte nicht gespeichert werden:\n%1\n\n"
                                              "Die Datei ist schreibgeschützt oder der Datenträger ist voll.")
                             : QStringLiteral("The high-score table could not be saved to:\n%1\n\n"
                                              "The file is read-only or the disk is full.");
    ErrorBox box(text.arg(file), this, QMessageBox::Warning);
    box.exec();
}

}  // namespace qg
