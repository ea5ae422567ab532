#include "ui/fonts/fontsubstitutions.h"

#include <QFont>
#include <QFontDatabase>

#include <array>

namespace {

struct Substitution {
    const char* family;
    std::array<const char*, 2> substitutes; // best first
};

// Nimbus Sans is drawn on Helvetica's metrics; Liberation Sans on the same widths as the
// common Helvetica look-alike. Geneva and Lucida Grande are humanist sans with a large
// x-height: DejaVu Sans Condensed keeps that look in the room their labels were given.
constexpr std::array kSubstitutions {
    Substitution { "Helvetica", { "Nimbus Sans", "Liberation Sans" } },
    Substitution { "Geneva", { "DejaVu Sans Condensed", "Nimbus Sans Narrow" } },
    Substitution { "Lucida Grande", { "DejaVu Sans Condensed", "Nimbus Sans Narrow" } },
};

} // namespace

QStringList fontSubstitutesFor(const QString& family)
{
    for (const Substitution& substitution : kSubstitutions) {
        if (family.compare(QLatin1String(substitution.family), Qt::CaseInsensitive) != 0)
            continue;
        QStringList installed;
        for (const char* substitute : substitution.substitutes) {
            if (QFontDatabase::hasFamily(QLatin1String(substitute)))
                installed << QLatin1String(substitute);
        }
        return installed;
    }
    return {};
}

void installFontSubstitutions()
{
    for (const Substitution& substitution : kSubstitutions) {
        const QString family = QLatin1String(substitution.family);
        // A desktop that has the family itself draws it as it is.
        if (!QFontDatabase::hasFamily(family))
            QFont::insertSubstitutions(family, fontSubstitutesFor(family));
    }
}

bool fontFamilyDrawable(const QString& family)
{
    return QFontDatabase::hasFamily(family) || !fontSubstitutesFor(family).isEmpty();
}
