#include "app/QtText.h"

#include "data/Charset.h"
#include "data/CodePage.h"

#include <QFile>
#include <QList>

namespace lexaro {

QString QtFromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString QtFromStored(std::string_view text, const TCodePage& page) {
    if (page.IsUtf8())
        return QtFromUtf8(page.ToUtf8(text));
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text)
        out.append(QChar(static_cast<char16_t>(page.ToUnicode(static_cast<unsigned char>(c)))));
    return out;
}

bool StoredFromQt(const QString& text, const TCodePage& page, std::string& out, qsizetype* badPos) {
    if (page.IsUtf8()) {
        // Composed (NFC) as all text that enters; a lone surrogate is no character.
        const QByteArray utf8 = text.toUtf8();
        std::string converted;
        std::size_t bad = 0;
        if (!page.FromUtf8(
                std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                converted, &bad)) {
            if (badPos != nullptr)
                *badPos = QString::fromUtf8(utf8.constData(), static_cast<qsizetype>(bad)).size();
            return false;
        }
        out = std::move(converted);
        return true;
    }
    std::string converted;
    converted.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t cp = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
        const int byte = page.FromUnicode(cp);
        if (byte < 0) {
            if (badPos != nullptr)
                *badPos = i;
            return false;
        }
        converted.push_back(static_cast<char>(static_cast<unsigned char>(byte)));
    }
    out = std::move(converted);
    return true;
}

QString QtFromCp1252(std::string_view text) {
    return QtFromStored(text, TCodePage::Western());
}

bool Cp1252FromQt(const QString& text, std::string& out) {
    return StoredFromQt(text, TCodePage::Western(), out);
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
