#pragma once
// Why the settings file could not be read or replaced.

namespace qg::store {

enum class Trouble {
    None,
    Missing,
    Unreadable,    // errno in err
    NotRegular,
    TooLarge,
    NotText,
    ReadOnly,
    Locked,
    NoFolder,
    WriteFailed,   // errno in err
    NotAsWritten,
};

struct Problem {
    Trouble trouble = Trouble::None;
    int err = 0;

    bool ok() const { return trouble == Trouble::None; }
};

}  // namespace qg::store
