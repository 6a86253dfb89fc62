#include "controls/T_FontTabSheet.h"

#include "app/QtText.h"
#include "app/UiHelpers.h"
#include "controls/PropertyLogic.h"
#include "controls/T_MComboBox.h"

#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace lexaro {

namespace {

constexpr int kListsLeft = 10;
constexpr int kFirstRowTop = 10;
constexpr int kSecondRowTop = 60;
constexpr int kPreviewLeft = 17;
constexpr int kPreviewTop = 130;
constexpr int kPreviewHeight = 150;
constexpr int kSmallestBoxWidth = 30;

QStringList Texts(const auto& list) {
    QStringList texts;
    for (const std::string_view text : list)
        texts.append(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    return texts;
}

QStringList StyleTexts(const std::array<std::string, 2>& names) {
    return {QtFromCp1252(names[0]), QtFromCp1252(names[1])};
}

QFont PreviewFont(const TFontPreview& preview) {
    QFont font(QtFromCp1252(preview.family));
    // The offered names are those of another system; where a font is missing the preview
    // shows the nearest of its kind, and the stored name stays the one chosen.
    font.setStyleHint(preview.serif ? QFont::Serif : QFont::SansSerif);
    font.setPixelSize(std::max(preview.pixelHeight, 1));
    font.setBold(preview.bold);
    font.setItalic(preview.italic);
    return font;
}

} // namespace

TFontTabSheet::TFontTabSheet(QWidget* owner, QList<QPixmap> colours,
                             std::shared_ptr<TPropertyDlgModel> model)
    : QWidget(owner), model_(std::move(model)), colours_(std::move(colours)) {
    setObjectName("fontPage");
    const auto caption = [this](std::int32_t number) { return QtFromCp1252(model_->Text(number)); };
    using Pos = TMComboBox::TLabelPosition;
    cbFont = new TMComboBox(this, kListsLeft, kFirstRowTop, caption(property_text::kFont),
                            Pos::Above, false);
    cbFont->setObjectName("cbFont");
    cbFont->SetTextIds(property_text::kFont, 0);
    cbSize = new TMComboBox(this, cbFont->width() + kListsLeft, kFirstRowTop,
                            caption(property_text::kSize), Pos::Above, false);
    cbSize->setObjectName("cbSize");
    cbSize->SetTextIds(property_text::kSize, 0);
    cbSize->SetMinContentWidth(kSmallestBoxWidth);
    cbStyle = new TMComboBox(this, kListsLeft, kSecondRowTop, caption(property_text::kStyle),
                             Pos::Above, false);
    cbStyle->setObjectName("cbStyle");
    cbStyle->SetTextIds(property_text::kStyle, 0);
    cbColor = new TMComboBox(this, cbStyle->width() + kListsLeft, kSecondRowTop,
                             caption(property_text::kColour), Pos::Above, false);
    cbColor->setObjectName("cbColor");
    cbColor->SetTextIds(property_text::kColour, 0);
    cbColor->SetMinContentWidth(kSmallestBoxWidth);
    for (TMComboBox* list : {cbFont, cbSize, cbStyle, cbColor})
        list->ApplyTexts(model_->Texts());

    imagePreview = new QLabel(this);
    imagePreview->setObjectName("imagePreview");
    imagePreview->setGeometry(kPreviewLeft, kPreviewTop, 200, kPreviewHeight);
    setMinimumSize(NeededSize());

    for (TMComboBox* list : {cbFont, cbSize, cbStyle, cbColor})
        connect(list->InnerBox(), &QComboBox::currentIndexChanged, this,
                &TFontTabSheet::ListChanged);
}

QSize TFontTabSheet::NeededSize() const {
    const QStringList names = Texts(TFontPageModel::FontNames());
    const QStringList sizes = Texts(TFontPageModel::Sizes());
    const QStringList styles = StyleTexts(model_->Font().StyleNames());
    const int firstColumn = std::max(cbFont->MinWidthFor(names), cbStyle->MinWidthFor(styles));
    // The colour list shows pictures only; its width is its smallest box width or the
    // pictures', whichever is more.
    const int pictures = colours_.isEmpty() ? 0 : ImageTextIndent(colours_.front().width()) + 31;
    const int secondColumn =
        std::max({cbSize->MinWidthFor(sizes), cbColor->MinWidth(),
                  pictures + cbColor->Margins().left + cbColor->Margins().right});
    const int lists = kListsLeft + firstColumn + kListsLeft + secondColumn + kListsLeft;

    // The widest preview text at the largest size, bold and italic.
    int preview = 0;
    TFontPreview sample;
    sample.pixelHeight = std::stoi(std::string(TFontPageModel::Sizes().back()));
    sample.italic = true;
    for (const std::string_view name : TFontPageModel::FontNames()) {
        sample.family = std::string(name);
        sample.serif = name == TFontPageModel::FontNames()[0] || name == "MS Serif";
        const QFontMetrics metrics(PreviewFont(sample));
        const QString text = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())) +
                             " - " + styles.back() + " - " + sizes.back();
        preview = std::max(preview, metrics.horizontalAdvance(text));
    }
    const int width = std::max(lists, preview + 2 * kPreviewLeft + 16);
    return {width, kPreviewTop + kPreviewHeight + kPreviewLeft};
}

void TFontTabSheet::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    TFontPageModel& page = model_->Font();
    if (!page.Filled() && !page.Closing())
        Fill();
}

void TFontTabSheet::Fill() {
    TFontPageModel& page = model_->Font();
    page.Fill();
    filling_ = true;
    imagePreview->resize(width() - 2 * kPreviewLeft, kPreviewHeight);
    const TFontChoice choice = page.Choice();
    cbFont->SetItems(Texts(TFontPageModel::FontNames()));
    cbFont->SelectIndex(choice.font);
    cbStyle->SetItems(StyleTexts(model_->Font().StyleNames()));
    cbStyle->SelectIndex(choice.style);
    QStringList blanks;
    for (int i = 0; i < kFontColourCount; ++i)
        blanks.append(QString());
    cbColor->SetItems(blanks, picturesForItems(kFontColourCount, colours_));
    cbColor->SelectIndex(choice.colour);
    cbSize->SetItems(Texts(TFontPageModel::Sizes()));
    cbSize->SelectIndex(choice.size);

    // Two columns: size under colour width, style under font width.
    cbSize->SetSize(cbColor->MinWidth(), cbSize->height());
    cbStyle->SetSize(cbFont->MinWidth(), cbStyle->height());
    cbSize->move(cbFont->x() + cbFont->width() + kListsLeft, cbSize->y());
    // The colour list is taller (its rows hold pictures); its caption stands level with the
    // style list's.
    cbColor->move(cbStyle->x() + cbStyle->width() + kListsLeft,
                  cbStyle->y() + cbStyle->Label()->y() - cbColor->Label()->y());
    filling_ = false;
    DrawPreview();
}

void TFontTabSheet::ListChanged() {
    if (filling_ || !model_->Font().Filled())
        return;
    model_->Font().Choose(
        {cbFont->ItemIndex(), cbSize->ItemIndex(), cbStyle->ItemIndex(), cbColor->ItemIndex()});
    DrawPreview();
}

void TFontTabSheet::DrawPreview() {
    const TFontPreview preview = model_->Font().Preview();
    picture_ = QPixmap(std::max(imagePreview->width(), 1), kPreviewHeight);
    picture_.fill(Qt::white);
    QPainter painter(&picture_);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QFont font = PreviewFont(preview);
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(preview.rgb));
    const QString text = QtFromCp1252(preview.text);
    const QFontMetrics metrics(font);
    const int x = (picture_.width() - metrics.horizontalAdvance(text)) / 2;
    // The middle of the text on the middle of the picture.
    const int baseline = picture_.height() / 2 + (metrics.ascent() - metrics.descent()) / 2;
    painter.drawText(x, baseline, text);
    painter.end();
    imagePreview->setPixmap(picture_);
}

} // namespace lexaro
