#include "audio/MusicPlayer.h"

#include <QDir>
#include <QFileInfo>

namespace qg {

QStringList SoundFontCandidates() {
    return {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
            "/usr/share/sounds/sf2/default-GM.sf2"};
}

QString BestSoundFont(const QStringList& candidates) {
    for (const QString& c : candidates)
        if (QFileInfo(c).isFile()) return c;
    return {};
}

QStringList ListMidiFiles(const QString& directory) {
    QDir dir(directory);
    dir.setNameFilters({"*.mid"});
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryList();
}

MusicLister MidiFilesIn(const QString& directory) {
    return [directory] {
        QStringList paths;
        for (const QString& name : ListMidiFiles(directory)) paths << QDir(directory).filePath(name);
        return paths;
    };
}

MidiCycler::MidiCycler(MediaPlayer& player, MusicLister list) : player_(player), list_(std::move(list)) {}

QString MidiCycler::CurrentFile() const { return open_ ? QFileInfo(files_.value(current_)).fileName() : QString(); }

// Opens the first file that opens, starting at `first`; every file gets one
// chance. With `relistOnWrap` the directory is searched again when the walk
// runs past the last file, as a fresh search from the first would.
bool MidiCycler::OpenFrom(int first, bool relistOnWrap) {
    open_ = false;
    int index = first;
    for (int tried = 0;; ++tried) {
        if (index >= files_.size()) {
            if (relistOnWrap) files_ = list_();
            index = 0;
        }
        if (tried >= files_.size()) return false;
        if (player_.Open(files_[index])) {
            current_ = index;
            open_ = true;
            return true;
        }
        ++index;
    }
}

bool MidiCycler::StartUp() {
    files_ = list_();
    current_ = -1;
    return OpenFrom(0, false);
}

void MidiCycler::SwitchOn() {
    player_.Stop();
    player_.Close();
    if (OpenFrom(current_ + 1, true)) player_.Play();
}

void MidiCycler::SwitchOff() {
    // Switching off never starts anything: only a playing piece is paused.
    if (player_.Mode() == MusicMode::Playing) player_.Pause();
}

void MidiCycler::Tick(bool musicOn) {
    if (musicOn && open_ && player_.Mode() != MusicMode::Playing) player_.Play();
}

}  // namespace qg
