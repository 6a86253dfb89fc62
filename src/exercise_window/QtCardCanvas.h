#pragma once

// The card table's canvas on Qt: every picture is a QImage, drawn with QPainter.
//
// Intended use, by the exercise window (a QWidget of fixed size):
//
//   // after the window has its final size:
//   canvas_ = std::make_unique<TQtCardCanvas>(*this, groundPicture, QPoint(12, 46),
//                                             cardPicture, pixelsPerInch, cardParking);
//   cards_ = std::make_unique<TCardGraphics>(*canvas_);  // kept for the program run
//
//   void paintEvent(QPaintEvent* event) override {
//       QPainter painter(this);
//       canvas_->PaintWindow(painter, event->rect());
//       // ... anything the window paints itself
//   }
//
// The window picture is the window's drawing surface. It starts as the window colour with the
// background picture at its place and keeps whatever the animations draw on it; the canvas
// asks the window to repaint exactly what was drawn, once per operation of the card table.
// Child widgets (buttons, the table of the run) lie above it as usual.
//
// The card control has no widget of its own: like a control without a window, it is painted
// into the window picture, at its place and size, whenever it is shown or its picture changes.
// So the wipe's squares, filled on the window, cover the card square by square; when the
// control is hidden, the table beneath it (the background picture, the window's colour beside
// it) is painted back, as a hidden control uncovers its parent.

#include "data/CodePage.h"
#include "exercise/GraphicOutput.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QStringList>
#include <QTextLayout>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace lexaro {

class TQtCardCanvas final : public ICardCanvas {
public:
    // The window must outlive the canvas (a member of the window is the natural place).
    // pixelsPerInch is the window's density (the card table's scale follows from it); the
    // card control stays hidden at cardParking between cards.
    TQtCardCanvas(QWidget& window, const QImage& background, QPoint backgroundOrigin,
                  const QImage& card, int pixelsPerInch, QPoint cardParking);

    int PixelsPerInch() const override { return pixelsPerInch_; }
    TCardPoint BackgroundOrigin() const override;
    TCardSize CardPictureSize() const override;

    void CreateWorkPictures() override;
    void ResizePicture(TCardPicture which, TCardSize size) override;
    void ReleaseWorkPictures() override;

    void CopyRect(TCardPicture from, TCardRect source, TCardPicture to, TCardPoint at) override;
    void Stretch(TCardPicture from, bool withoutLastRow, TCardPicture to,
                 TCardRect target) override;
    void FillRect(TCardPicture on, TCardRect rect, TRgb colour) override;
    void SetFont(const TCardFont& font) override;
    int DrawChar(TCardPicture on, TCardPoint at, unsigned char ch, TRgb colour) override;
    void BeginText(std::string_view utf8, bool rightToLeft) override;
    int TextWidth(std::string_view utf8, bool rightToLeft) override;
    int DrawText(TCardPicture on, TCardPoint at, std::string_view utf8, bool rightToLeft,
                 TRgb colour) override;

    void HideCard() override;
    void SetCardSize(TCardSize size) override;
    void MoveCard(TCardPoint at) override;
    void ShowCard() override;
    TCardRect CardGeometry() const override;

    // Lets the events posted to the program run (QCoreApplication::sendPostedEvents); input
    // from the window system runs in the event loop between two ticks of the graphic timer.
    void ProcessPendingMessages() override;
    void Present() override;

    // For the window's paintEvent: the exposed part of the window picture.
    void PaintWindow(QPainter& painter, const QRect& exposed) const;
    // Puts the background picture back onto the window picture (for instance at a new show).
    void PaintBackground();

    // The code page of the characters drawn (Windows-1252 until set).
    void SetCodePage(const TCodePage& page) { page_ = &page; }

    const QImage& WindowImage() const { return windowImage_; }
    const QImage& CardImage() const { return card_; }
    bool CardVisible() const { return cardVisible_; }
    const QFont& Font() const { return font_; }

private:
    QImage& Picture(TCardPicture which);
    // The painter on the window picture, held from the first drawing on the window to the end
    // of the card table's operation (Present), so a wipe tick opens it once for its 180 cells.
    QPainter& WindowPainter();
    void EndWindowPainter();
    // A painter for one drawing on the picture: the held ones for the window and the card.
    template <typename Draw> void Paint(TCardPicture on, Draw&& draw);
    // Notes a rectangle drawn on a picture, for Present.
    void Drawn(TCardPicture on, const QRect& rect);
    // The Unicode text shaped as one line in the card font: the last one laid out is kept, as
    // a letter step measures and draws the same text.
    const QTextLayout& Shaped(std::string_view utf8, bool rightToLeft);
    // Paints the visible part of the card picture into the window picture.
    void PaintCard(const QRect& partOfCard);
    // Paints the table back into the window picture: the window's colour, the background
    // picture where it lies.
    void Uncover(const QRect& area);
    // The work picture is only ever copied onto the window whole, just after the fly-in has
    // put the background and the small card into it: copies into it are noted as parts and
    // done when the work picture is copied, each part straight from its own picture onto the
    // target and only where no later part covers it. What the target gets is the same; the
    // pixels are moved once instead of twice.
    bool CopyIntoWork(TCardPicture from, const QRect& part, QPoint place);
    bool CopyWorkParts(const QRect& part, TCardPicture to, QPoint place);
    // Does the noted copies into the work picture.
    void MakeWorkWhole();
    // Before a picture is drawn on: the noted copies that read it, or go into it, are done.
    void BeforeDrawingOn(TCardPicture on);

    QWidget& window_;
    QImage windowImage_;
    QRgb windowColour_ = 0;
    std::unique_ptr<QPainter> windowPainter_;
    QImage background_;
    QImage card_;
    QImage work_;
    QImage smallCard_;
    // The painter on the card picture, from its first drawing on (declared after the card, so
    // it ends first).
    std::unique_ptr<QPainter> cardPainter_;
    QPoint origin_;
    int pixelsPerInch_;

    QRect cardRect_;
    bool cardVisible_ = false;

    QFont font_;
    QFontMetrics metrics_;
    // Unicode text: the font fitted to the whole text, the height of its line (the card font's
    // cell) and where its baseline lies below the line's top.
    QFont textFont_;
    int cell_ = 1;
    qreal textAscent_ = 0;
    // By the scripts of a text: the size and fonts its letters fitted the line in.
    struct TFit {
        int em = 0;
        QStringList families;
    };
    std::map<std::string, TFit> fits_;
    std::unique_ptr<QTextLayout> shaped_;
    std::string shapedText_;
    bool shapedRightToLeft_ = false;
    const TCodePage* page_ = &TCodePage::Western();

    QRect windowDirty_;
    QRect cardDirty_;

    struct TWorkPart {
        TCardPicture from;
        QRect source;
        QPoint place; // in the work picture
    };
    std::vector<TWorkPart> workParts_;
    // Scratch lists of CopyWorkParts, kept so that a frame allocates nothing.
    std::vector<QRect> pieces_;
    std::vector<QRect> rest_;
};

} // namespace lexaro
