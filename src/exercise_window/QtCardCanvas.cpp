#include "exercise_window/QtCardCanvas.h"

#include "data/Charset.h"

#include <QCoreApplication>
#include <QGlyphRun>
#include <QPainter>
#include <QPalette>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lexaro {

namespace {

// All pictures share one opaque format, so copies are plain pixel copies.
constexpr QImage::Format kFormat = QImage::Format_RGB32;

QRect ToQt(const TCardRect& r) {
    return {r.x, r.y, r.w, r.h};
}

QColor ToQt(const TRgb& c) {
    return {c.r, c.g, c.b};
}

QImage Opaque(const QImage& image) {
    return image.format() == kFormat ? image : image.convertToFormat(kFormat);
}

// The pixels of part of source into target with part's top-left corner at place, cut to the
// target; a plain copy of rows, as every picture has the one opaque format. Source and target
// may be the same picture (the rows are moved as memmove does). Gives the target rectangle
// written.
QRect CopyPixels(const QImage& source, QRect part, QImage& target, QPoint place) {
    const QRect into = QRect(place, part.size()) & target.rect();
    if (into.isEmpty())
        return {};
    part = QRect(part.topLeft() + (into.topLeft() - place), into.size());
    const auto rowBytes = static_cast<std::size_t>(into.width()) * sizeof(QRgb);
    const qsizetype sourceStride = source.bytesPerLine();
    const qsizetype targetStride = target.bytesPerLine();
    const uchar* from = source.constBits() + part.y() * sourceStride +
                        static_cast<qsizetype>(part.x() * sizeof(QRgb));
    uchar* to =
        target.bits() + into.y() * targetStride + static_cast<qsizetype>(into.x() * sizeof(QRgb));
    if (&source == &target && into.y() > part.y()) {
        // Downwards within one picture: the last row first, so no row is read after it was
        // overwritten.
        for (int row = into.height() - 1; row >= 0; --row)
            std::memmove(to + row * targetStride, from + row * sourceStride, rowBytes);
    } else {
        for (int row = 0; row < into.height(); ++row)
            std::memmove(to + row * targetStride, from + row * sourceStride, rowBytes);
    }
    return into;
}

// The parts of a that b does not cover: up to four rectangles.
void Subtract(const QRect& a, const QRect& b, std::vector<QRect>& out) {
    const QRect cut = a & b;
    if (cut.isEmpty()) {
        out.push_back(a);
        return;
    }
    if (cut.top() > a.top())
        out.emplace_back(a.left(), a.top(), a.width(), cut.top() - a.top());
    if (cut.bottom() < a.bottom())
        out.emplace_back(a.left(), cut.bottom() + 1, a.width(), a.bottom() - cut.bottom());
    if (cut.left() > a.left())
        out.emplace_back(a.left(), cut.top(), cut.left() - a.left(), cut.height());
    if (cut.right() < a.right())
        out.emplace_back(cut.right() + 1, cut.top(), a.right() - cut.right(), cut.height());
}

// Fills the rectangle (cut to the picture) with one colour; gives what was filled.
QRect FillPixels(QImage& target, const QRect& rect, QRgb colour) {
    // Cut to the picture with plain arithmetic: a wipe tick fills 180 small squares.
    const int left = std::max(rect.x(), 0);
    const int top = std::max(rect.y(), 0);
    const int right = std::min(rect.x() + rect.width(), target.width());
    const int bottom = std::min(rect.y() + rect.height(), target.height());
    if (left >= right || top >= bottom)
        return {};
    const qsizetype stride = target.bytesPerLine();
    uchar* first = target.bits() + top * stride;
    for (int row = 0; row < bottom - top; ++row) {
        auto* line = reinterpret_cast<QRgb*>(first + row * stride) + left;
        std::fill(line, line + (right - left), colour);
    }
    return {left, top, right - left, bottom - top};
}

// The smallest rectangle holding both (an empty one holds nothing).
void Unite(QRect& into, const QRect& r) {
    if (r.isEmpty())
        return;
    if (into.isEmpty()) {
        into = r;
        return;
    }
    const int left = std::min(into.left(), r.left());
    const int top = std::min(into.top(), r.top());
    const int right = std::max(into.right(), r.right());
    const int bottom = std::max(into.bottom(), r.bottom());
    into.setCoords(left, top, right, bottom);
}

} // namespace

TQtCardCanvas::TQtCardCanvas(QWidget& window, const QImage& background, QPoint backgroundOrigin,
                             const QImage& card, int pixelsPerInch, QPoint cardParking)
    : window_(window), background_(Opaque(background)), card_(Opaque(card)),
      origin_(backgroundOrigin), pixelsPerInch_(pixelsPerInch),
      cardRect_(cardParking, QSize(10, 10)), metrics_(font_) {
    const QSize size = window.size().expandedTo(
        QSize(origin_.x() + background_.width(), origin_.y() + background_.height()));
    windowImage_ = QImage(size, kFormat);
    windowColour_ = window.palette().color(QPalette::Window).rgb();
    windowImage_.fill(windowColour_);
    PaintBackground();
    windowDirty_ = {};
}

TCardPoint TQtCardCanvas::BackgroundOrigin() const {
    return {origin_.x(), origin_.y()};
}

TCardSize TQtCardCanvas::CardPictureSize() const {
    return {card_.width(), card_.height()};
}

QImage& TQtCardCanvas::Picture(TCardPicture which) {
    switch (which) {
    case TCardPicture::Window:
        return windowImage_;
    case TCardPicture::Background:
        return background_;
    case TCardPicture::Card:
        return card_;
    case TCardPicture::Work:
        return work_;
    case TCardPicture::SmallCard:
        break;
    }
    return smallCard_;
}

QPainter& TQtCardCanvas::WindowPainter() {
    if (!windowPainter_)
        windowPainter_ = std::make_unique<QPainter>(&windowImage_);
    return *windowPainter_;
}

void TQtCardCanvas::EndWindowPainter() {
    windowPainter_.reset();
}

// Each drawing sets the painter's state that it relies on (the held painter keeps the state
// of the drawing before).
template <typename Draw> void TQtCardCanvas::Paint(TCardPicture on, Draw&& draw) {
    if (on == TCardPicture::Window) {
        draw(WindowPainter());
        return;
    }
    if (on == TCardPicture::Card) {
        // Held for the card's life: a letter step draws on the card once, and opening a
        // painter would cost a fifth of it. Its pixels are read and cleared directly meanwhile,
        // which a painter on an image allows (it draws at once; a copy of the image is a copy).
        if (!cardPainter_)
            cardPainter_ = std::make_unique<QPainter>(&card_);
        draw(*cardPainter_);
        return;
    }
    QPainter painter(&Picture(on));
    draw(painter);
}

// rect lies within the picture drawn on (each drawing cuts what it draws to its picture).
void TQtCardCanvas::Drawn(TCardPicture on, const QRect& rect) {
    if (on == TCardPicture::Window)
        Unite(windowDirty_, rect);
    else if (on == TCardPicture::Card)
        Unite(cardDirty_, rect);
}

void TQtCardCanvas::CreateWorkPictures() {
    workParts_.clear();
    work_ = QImage();
    smallCard_ = QImage();
}

void TQtCardCanvas::ResizePicture(TCardPicture which, TCardSize size) {
    if (which != TCardPicture::Work && which != TCardPicture::SmallCard)
        return;
    if (which == TCardPicture::Work)
        workParts_.clear(); // a new picture
    else
        BeforeDrawingOn(which);
    QImage& picture = Picture(which);
    picture = QImage(std::max(size.w, 0), std::max(size.h, 0), kFormat);
    picture.fill(Qt::white);
}

void TQtCardCanvas::ReleaseWorkPictures() {
    workParts_.clear();
    work_ = QImage();
    smallCard_ = QImage();
}

void TQtCardCanvas::CopyRect(TCardPicture from, TCardRect source, TCardPicture to, TCardPoint at) {
    QImage& target = Picture(to);
    const QImage& sourcePicture = Picture(from);
    // Only what the source picture has is copied; the rest of the target stays as it was.
    const QRect wanted = ToQt(source);
    const QRect part = wanted & sourcePicture.rect();
    if (part.isEmpty() || target.isNull())
        return;
    const QPoint place = QPoint(at.x, at.y) + (part.topLeft() - wanted.topLeft());
    if (to == TCardPicture::Work && from != TCardPicture::Work && CopyIntoWork(from, part, place))
        return;
    if (from == TCardPicture::Work && to != TCardPicture::Work && CopyWorkParts(part, to, place))
        return;
    BeforeDrawingOn(from == TCardPicture::Work ? TCardPicture::Work : to);
    BeforeDrawingOn(to);
    // Pixels straight into the picture: a painter held on the window must not lag behind.
    if (to == TCardPicture::Window)
        EndWindowPainter();
    Drawn(to, CopyPixels(sourcePicture, part, target, place));
}

bool TQtCardCanvas::CopyIntoWork(TCardPicture from, const QRect& part, QPoint place) {
    const QRect into = QRect(place, part.size()) & work_.rect();
    if (into.isEmpty())
        return true;
    // What a part covers whole, no earlier part shows through.
    if (into == work_.rect())
        workParts_.clear();
    workParts_.push_back(
        {from, QRect(part.topLeft() + (into.topLeft() - place), into.size()), into.topLeft()});
    if (workParts_.size() > 4)
        MakeWorkWhole();
    return true;
}

bool TQtCardCanvas::CopyWorkParts(const QRect& part, TCardPicture to, QPoint place) {
    if (workParts_.empty())
        return false;
    for (const TWorkPart& p : workParts_)
        if (p.from == to)
            return false; // the target is read by a part: the plain way
    QImage& target = Picture(to);
    if (to == TCardPicture::Window)
        EndWindowPainter();
    // Each part where no later one covers it; what no part covers, from the work picture.
    std::vector<QRect>& pieces = pieces_;
    std::vector<QRect>& rest = rest_;
    const auto n = workParts_.size();
    for (std::size_t i = 0; i <= n; ++i) {
        const bool base = i == n;
        const QRect covers = base ? part : QRect(workParts_[i].place, workParts_[i].source.size());
        pieces.assign(1, covers & part);
        for (std::size_t j = base ? 0 : i + 1; j < n; ++j) {
            rest.clear();
            const QRect later(workParts_[j].place, workParts_[j].source.size());
            for (const QRect& piece : pieces)
                Subtract(piece, later, rest);
            pieces.swap(rest);
        }
        for (const QRect& piece : pieces) {
            if (piece.isEmpty())
                continue;
            const QImage& source = base ? work_ : Picture(workParts_[i].from);
            const QPoint offset =
                base ? QPoint() : workParts_[i].source.topLeft() - workParts_[i].place;
            Drawn(to, CopyPixels(source, piece.translated(offset), target,
                                 place + (piece.topLeft() - part.topLeft())));
        }
    }
    return true;
}

void TQtCardCanvas::MakeWorkWhole() {
    std::vector<TWorkPart> parts;
    parts.swap(workParts_);
    for (const TWorkPart& p : parts)
        CopyPixels(Picture(p.from), p.source, work_, p.place);
}

void TQtCardCanvas::BeforeDrawingOn(TCardPicture on) {
    if (workParts_.empty())
        return;
    if (on == TCardPicture::Work) {
        MakeWorkWhole();
        return;
    }
    for (const TWorkPart& p : workParts_)
        if (p.from == on) {
            MakeWorkWhole();
            return;
        }
}

void TQtCardCanvas::Stretch(TCardPicture from, bool withoutLastRow, TCardPicture to,
                            TCardRect target) {
    QImage& targetPicture = Picture(to);
    const QImage& sourcePicture = Picture(from);
    QRect whole = sourcePicture.rect();
    if (withoutLastRow)
        whole.setHeight(whole.height() - 1);
    const QRect into = ToQt(target);
    if (whole.isEmpty() || into.isEmpty() || targetPicture.isNull() || from == to)
        return;
    BeforeDrawingOn(from == TCardPicture::Work ? TCardPicture::Work : to);
    BeforeDrawingOn(to);
    // Without smooth transformation: each target pixel takes its nearest source pixel.
    Paint(to, [&](QPainter& painter) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(into, sourcePicture, whole);
    });
    Drawn(to, into & targetPicture.rect());
}

void TQtCardCanvas::FillRect(TCardPicture on, TCardRect rect, TRgb colour) {
    QImage& picture = Picture(on);
    const QRect r = ToQt(rect);
    if (r.isEmpty() || picture.isNull())
        return;
    BeforeDrawingOn(on);
    if (on == TCardPicture::Window)
        EndWindowPainter();
    Drawn(on, FillPixels(picture, r, qRgb(colour.r, colour.g, colour.b)));
}

void TQtCardCanvas::SetFont(const TCardFont& font) {
    shaped_.reset();
    font_ = QFont(QString::fromStdString(Cp1252ToUtf8(font.name)));
    font_.setBold(font.bold);
    font_.setItalic(font.italic);
    // The height is that of the character cell, ascent and descent together, as a font made
    // with a positive height has it: the card's lines are that far apart and a line is cleared
    // that high, so descenders must stay within it. Qt's pixel size is the em, whose cell is
    // taller: the largest em whose cell fits (Qt refuses sizes below one pixel).
    const int cell = std::max(font.height, 1);
    cell_ = cell;
    int em = cell;
    for (;;) {
        font_.setPixelSize(em);
        metrics_ = QFontMetrics(font_, &card_);
        if (em == 1 || metrics_.ascent() + metrics_.descent() <= cell)
            break;
        --em;
    }
    textFont_ = font_;
    textAscent_ = metrics_.ascent();
    fits_.clear();
}

int TQtCardCanvas::DrawChar(TCardPicture on, TCardPoint at, unsigned char ch, TRgb colour) {
    // Every Windows-1252 character lies in the Basic Multilingual Plane.
    const QChar c(static_cast<char16_t>(page_->ToUnicode(ch)));
    const int pen = at.x + metrics_.horizontalAdvance(c);
    QImage& picture = Picture(on);
    if (picture.isNull())
        return pen;
    BeforeDrawingOn(on);
    Paint(on, [&](QPainter& painter) {
        // Antialiased glyphs blend with what lies beneath.
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setFont(font_);
        painter.setPen(ToQt(colour));
        // The position is the top-left of the character's cell; Qt draws from the baseline.
        painter.drawText(QPoint(at.x, at.y + metrics_.ascent()), QString(c));
    });
    // Italic and overhanging glyphs reach beyond the advance: a line height either side.
    const int slack = metrics_.height();
    Drawn(on,
          QRect(at.x - slack, at.y, pen - at.x + 2 * slack, metrics_.height()) & picture.rect());
    return pen;
}

const QTextLayout& TQtCardCanvas::Shaped(std::string_view utf8, bool rightToLeft) {
    if (shaped_ && shapedText_ == utf8 && shapedRightToLeft_ == rightToLeft)
        return *shaped_;
    shaped_ = std::make_unique<QTextLayout>(
        QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())), textFont_, &card_);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    // Laid out from x = 0 whatever the direction; the caller places it.
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    shaped_->setTextOption(option);
    shaped_->setCacheEnabled(true);
    shaped_->beginLayout();
    QTextLine line = shaped_->createLine();
    if (line.isValid()) {
        line.setNumColumns(static_cast<int>(shaped_->text().size()));
        line.setPosition(QPointF(0, 0));
    }
    shaped_->endLayout();
    shapedText_.assign(utf8);
    shapedRightToLeft_ = rightToLeft;
    return *shaped_;
}

namespace {

// The scripts of a text (Arabic, Devanagari, ...), without the characters every script shares.
std::string ScriptsOf(const QString& text) {
    std::string scripts;
    for (const char32_t cp : text.toUcs4()) {
        const QChar::Script script = QChar::script(cp);
        if (script == QChar::Script_Common || script == QChar::Script_Inherited ||
            script == QChar::Script_Unknown)
            continue;
        const char tag = static_cast<char>(script);
        if (scripts.find(tag) == std::string::npos)
            scripts += tag;
    }
    std::sort(scripts.begin(), scripts.end());
    return scripts;
}

} // namespace

void TQtCardCanvas::BeginText(std::string_view utf8, bool rightToLeft) {
    // The ink of the whole text (letters of fallback fonts, marks above and below) must lie
    // within the cell, which is what a cleared line covers: on the card font's baseline where
    // it fits there, otherwise with its top on the cell's top, otherwise in the largest size
    // that fits. Texts of the same scripts start from the size and fonts found before, so a
    // card of a script is laid out with one shaping, and cards of one script share one size.
    const std::string scripts =
        ScriptsOf(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    textFont_ = font_;
    textAscent_ = metrics_.ascent();
    int em = std::max(font_.pixelSize(), 1);
    if (const auto known = fits_.find(scripts); known != fits_.end()) {
        em = known->second.em;
        textFont_.setFamilies(known->second.families);
    }
    for (int attempt = 0; attempt < 8; ++attempt) {
        textFont_.setPixelSize(em);
        shaped_.reset();
        const QTextLayout& layout = Shaped(utf8, rightToLeft);
        if (layout.lineCount() == 0)
            return;
        const QTextLine line = layout.lineAt(0);
        // The ink, and the fonts the letters came from (in the order they appear).
        QRectF ink;
        QStringList families;
        for (const QGlyphRun& run : line.glyphRuns()) {
            ink = ink.united(run.boundingRect());
            const QString family = run.rawFont().familyName();
            if (!family.isEmpty() && !families.contains(family))
                families << family;
        }
        if (ink.isEmpty())
            return;
        const qreal above = line.ascent() - ink.top();
        const qreal below = ink.bottom() - line.ascent();
        const bool onCardBaseline = em == font_.pixelSize() && above <= metrics_.ascent() &&
                                    metrics_.ascent() + below <= cell_;
        if (onCardBaseline || em == 1 || above + below <= cell_) {
            textAscent_ = onCardBaseline ? metrics_.ascent() : std::ceil(above);
            // The parts of the text take their letters from these fonts straight away: no
            // search for a fallback font at each letter step.
            for (const QString& family : font_.families())
                if (!families.contains(family))
                    families << family;
            textFont_.setFamilies(families);
            fits_[scripts] = {em, families};
            // The whole text's layout stays: it has exactly these letters.
            return;
        }
        // Smaller by the ratio the ink is too tall, and at least by one.
        const int next = static_cast<int>(std::floor(em * cell_ / (above + below)));
        em = std::clamp(next, 1, em - 1);
    }
}

int TQtCardCanvas::TextWidth(std::string_view utf8, bool rightToLeft) {
    const QTextLayout& layout = Shaped(utf8, rightToLeft);
    if (layout.lineCount() == 0)
        return 0;
    return static_cast<int>(std::ceil(layout.lineAt(0).naturalTextWidth()));
}

int TQtCardCanvas::DrawText(TCardPicture on, TCardPoint at, std::string_view utf8, bool rightToLeft,
                            TRgb colour) {
    const QTextLayout& layout = Shaped(utf8, rightToLeft);
    if (layout.lineCount() == 0)
        return at.x;
    const QTextLine line = layout.lineAt(0);
    const int width = static_cast<int>(std::ceil(line.naturalTextWidth()));
    const int left = rightToLeft ? at.x - width : at.x;
    QImage& picture = Picture(on);
    if (picture.isNull())
        return rightToLeft ? left : at.x + width;
    BeforeDrawingOn(on);
    // The baseline of the whole text (BeginText), the same for each of its parts.
    const qreal baseline = at.y + textAscent_;
    Paint(on, [&](QPainter& painter) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setPen(ToQt(colour));
        line.draw(&painter, QPointF(left - line.x(), baseline - line.ascent()));
    });
    // The ink lies within the cell (BeginText) but for a later form's marks, which the card
    // table's clearing margin of a third of the line covers; overhanging glyphs reach beside
    // by up to half a line.
    const int beside = metrics_.height() / 2;
    const int margin = cell_ / 3 + 1;
    Drawn(on, QRect(left - beside, at.y - margin, width + 2 * beside, cell_ + 2 * margin) &
                  picture.rect());
    return rightToLeft ? left : at.x + width;
}

void TQtCardCanvas::PaintCard(const QRect& partOfCard) {
    // The control shows the card picture from its top-left corner, cut to the control's size.
    const QRect shown = partOfCard & card_.rect() & QRect(QPoint(0, 0), cardRect_.size());
    if (shown.isEmpty())
        return;
    BeforeDrawingOn(TCardPicture::Window);
    EndWindowPainter();
    windowDirty_ |= CopyPixels(card_, shown, windowImage_, cardRect_.topLeft() + shown.topLeft());
}

void TQtCardCanvas::HideCard() {
    // A hidden control shows what lies beneath it: the table, not the last card or the wipe's
    // silver, which would otherwise stay under the next card's whole flight.
    if (cardVisible_)
        Uncover(cardRect_);
    cardVisible_ = false;
}

void TQtCardCanvas::SetCardSize(TCardSize size) {
    cardRect_.setSize(QSize(std::max(size.w, 0), std::max(size.h, 0)));
    if (cardVisible_)
        PaintCard(card_.rect());
}

void TQtCardCanvas::MoveCard(TCardPoint at) {
    cardRect_.moveTo(at.x, at.y);
    if (cardVisible_)
        PaintCard(card_.rect());
}

void TQtCardCanvas::ShowCard() {
    cardVisible_ = true;
    PaintCard(card_.rect());
}

TCardRect TQtCardCanvas::CardGeometry() const {
    return {cardRect_.x(), cardRect_.y(), cardRect_.width(), cardRect_.height()};
}

void TQtCardCanvas::ProcessPendingMessages() {
    // The window may paint itself now.
    EndWindowPainter();
    // What the program posted runs now (repaints, queued calls). The learner's keys and clicks
    // run between the frames: each frame is a tick of the window's timer, so the event loop
    // passes between any two of them. A whole nested pass of the event loop here would cost
    // more than the frame's drawing and let a close run in the middle of a frame.
    QCoreApplication::sendPostedEvents();
}

void TQtCardCanvas::Present() {
    if (cardVisible_ && !cardDirty_.isEmpty())
        PaintCard(cardDirty_);
    cardDirty_ = {};
    EndWindowPainter();
    if (!windowDirty_.isEmpty())
        window_.update(windowDirty_);
    windowDirty_ = {};
}

void TQtCardCanvas::PaintWindow(QPainter& painter, const QRect& exposed) const {
    const QRect part = exposed & windowImage_.rect();
    if (!part.isEmpty())
        painter.drawImage(part.topLeft(), windowImage_, part);
}

void TQtCardCanvas::Uncover(const QRect& area) {
    const QRect part = area & windowImage_.rect();
    if (part.isEmpty())
        return;
    BeforeDrawingOn(TCardPicture::Window);
    EndWindowPainter();
    // The window's colour, and the background picture where it lies.
    windowDirty_ |= FillPixels(windowImage_, part, windowColour_);
    const QRect onBackground = part.translated(-origin_) & background_.rect();
    if (!onBackground.isEmpty())
        windowDirty_ |=
            CopyPixels(background_, onBackground, windowImage_, onBackground.topLeft() + origin_);
}

void TQtCardCanvas::PaintBackground() {
    BeforeDrawingOn(TCardPicture::Window);
    EndWindowPainter();
    QPainter painter(&windowImage_);
    painter.drawImage(origin_, background_);
    painter.end();
    const QRect drawn(origin_, background_.size());
    window_.update(drawn);
}

} // namespace lexaro
