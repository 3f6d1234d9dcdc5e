#include "views/GameText.h"

#include "gamecfg/CodePage.h"

#include <QByteArray>

namespace kw {

QString GameTextToQt(std::string_view cp1251) {
    return Utf8ToQt(Cp1251ToUtf8(cp1251));
}

std::optional<std::string> QtToGameText(const QString& text) {
    return Utf8ToCp1251(QtToUtf8(text));
}

QString Utf8ToQt(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string QtToUtf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

} // namespace kw
