#include "shell/Fonts.h"

#include <QFont>
#include <QStringList>

namespace qg {

void PreferMetricCompatibleFonts() {
    static const bool done = [] {
        const QStringList metricCompatible = {"Liberation Sans", "Arimo", "DejaVu Sans"};
        for (const char* family : {"Arial", "MS Sans Serif", "Microsoft Sans Serif"})
            QFont::insertSubstitutions(family, metricCompatible);
        return true;
    }();
    (void)done;
}

}  // namespace qg
