#include "data/Collation.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace lexaro {

struct TCollation::TImpl {
    std::unique_ptr<icu::Collator> collator;
};

namespace {

icu::Collator::ECollationStrength IcuStrength(TCollationStrength strength) {
    switch (strength) {
    case TCollationStrength::Letters:
        return icu::Collator::PRIMARY;
    case TCollationStrength::Accents:
        return icu::Collator::SECONDARY;
    case TCollationStrength::Full:
        break;
    }
    return icu::Collator::TERTIARY;
}

std::unique_ptr<icu::Collator> Open(const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(locale, status));
    if (U_FAILURE(status))
        return nullptr;
    return collator;
}

} // namespace

TCollation::TCollation(std::string_view locale, TCollationStrength strength)
    : impl_(std::make_unique<TImpl>()) {
    // Only a locale that ICU knows a language of is taken; any other gets the root order (ICU
    // would otherwise fall back to the machine's locale for some).
    const std::string id(locale);
    const icu::Locale wanted(id.c_str());
    if (!id.empty() && !wanted.isBogus() && wanted.getLanguage()[0] != '\0') {
        impl_->collator = Open(wanted);
        if (impl_->collator) {
            UErrorCode status = U_ZERO_ERROR;
            const icu::Locale actual = impl_->collator->getLocale(ULOC_ACTUAL_LOCALE, status);
            locale_ = U_SUCCESS(status) && actual.getLanguage()[0] != '\0' &&
                              std::string_view(actual.getName()) != "root"
                          ? std::string(actual.getName())
                          : "root";
        }
    }
    if (!impl_->collator || locale_.empty() || locale_ == "root") {
        impl_->collator = Open(icu::Locale::getRoot());
        locale_ = "root";
    }
    if (impl_->collator) {
        UErrorCode status = U_ZERO_ERROR;
        impl_->collator->setStrength(IcuStrength(strength));
        // A letter and its marks typed apart ("e" and a combining accent) sort as the letter.
        impl_->collator->setAttribute(UCOL_NORMALIZATION_MODE, UCOL_ON, status);
    }
}

TCollation::TCollation(TCollation&&) noexcept = default;
TCollation& TCollation::operator=(TCollation&&) noexcept = default;
TCollation::~TCollation() = default;

std::string TCollation::KeyOfUtf8(std::string_view utf8) const {
    if (!impl_ || !impl_->collator)
        return std::string(utf8);
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    std::string key(static_cast<std::size_t>(text.length()) * 4 + 16, '\0');
    for (;;) {
        const int32_t size = impl_->collator->getSortKey(
            text, reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
        if (size <= 0)
            return {};
        if (static_cast<std::size_t>(size) <= key.size()) {
            key.resize(static_cast<std::size_t>(size));
            if (!key.empty() && key.back() == '\0')
                key.pop_back(); // the closing zero byte
            return key;
        }
        key.assign(static_cast<std::size_t>(size), '\0');
    }
}

std::string TCollation::Key(std::string_view stored, const TCodePage& page) const {
    return KeyOfUtf8(page.ToUtf8(stored));
}

int TCollation::Compare(std::string_view a, std::string_view b, const TCodePage& page) const {
    const int order = Key(a, page).compare(Key(b, page));
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

} // namespace lexaro
