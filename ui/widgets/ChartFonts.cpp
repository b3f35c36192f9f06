#include "ui/widgets/ChartFonts.h"

#include <QString>

#include <mutex>

namespace qs::ui {

namespace {

const QString kSong = QStringLiteral("宋体");
const QString kArial = QStringLiteral("Arial");

QFont MakeFont(const QString &family, int pointSize, bool bold)
{
    InstallChartFontFallbacks();
    return QFont(family, pointSize, bold ? QFont::Bold : QFont::Normal);
}

} // namespace

void InstallChartFontFallbacks()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // The CJK font the set-up scripts install; Windows has "宋体" itself.
        QFont::insertSubstitution(kSong, QStringLiteral("WenQuanYi Zen Hei"));
        QFont::insertSubstitution(kArial, QStringLiteral("DejaVu Sans"));
    });
}

QFont SongFont(int pointSize, bool bold)
{
    return MakeFont(kSong, pointSize, bold);
}

QFont ArialFont(int pointSize, bool bold)
{
    return MakeFont(kArial, pointSize, bold);
}

} // namespace qs::ui
