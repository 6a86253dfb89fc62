#include "app/QtText.h"

#include "data/Charset.h"

#include <QFile>
#include <QList>

namespace lexaro {

QString QtFromCp1252(std::string_view text) {
    const std::string utf8 = Cp1252ToUtf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

bool Cp1252FromQt(const QString& text, std::string& out) {
    const QByteArray utf8 = text.toUtf8();
    std::string converted;
    if (!Utf8ToCp1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                      converted))
        return false;
    out = std::move(converted);
    return true;
}

std::string Cp1252FromQtLossy(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t cp : text.toUcs4()) {
        const int byte = UnicodeToCp1252(cp);
        out.push_back(byte < 0 ? '?' : static_cast<char>(static_cast<unsigned char>(byte)));
    }
    return out;
}

std::filesystem::path PathFromQt(const QString& path) {
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    const QByteArray native = QFile::encodeName(path);
    return std::filesystem::path(
        std::string(native.constData(), static_cast<std::size_t>(native.size())));
#endif
}

QString QtFromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

} // namespace lexaro
