#include "platform/Fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace tolvane::platform {

void registerFormFont()
{
    // The .ttf file holds the narrow bitmap strikes the forms were laid out with; the .fon files
    // of the same package resolve to a wider strike.
    if (QFontDatabase::addApplicationFont(QStringLiteral(TOLVANE_FORM_FONT)) < 0) {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Liberation Sans"),
                                    QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    }
}

} // namespace tolvane::platform
