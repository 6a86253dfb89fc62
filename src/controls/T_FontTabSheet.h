#pragma once

#include <QList>
#include <QPixmap>
#include <QSize>
#include <QWidget>

#include <memory>

class QLabel;

namespace lexaro {

class TMComboBox;
class TPropertyDlgModel;

// The settings dialog's font page: font, size, style and colour of the exercise cards, with a
// preview. Built empty; it fills itself the first time it is shown.
class TFontTabSheet : public QWidget {
    Q_OBJECT
public:
    // colours: the swatches of the colour table, in its order.
    TFontTabSheet(QWidget* owner, QList<QPixmap> colours, std::shared_ptr<TPropertyDlgModel> model);

    // The size the page needs for its lists and the widest preview text.
    QSize NeededSize() const;
    // The preview as drawn last (null before the first showing).
    const QPixmap& PreviewPicture() const { return picture_; }

    TMComboBox* cbFont = nullptr;
    TMComboBox* cbSize = nullptr;
    TMComboBox* cbStyle = nullptr;
    TMComboBox* cbColor = nullptr;
    QLabel* imagePreview = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Fill();
    void ListChanged();
    void DrawPreview();

    std::shared_ptr<TPropertyDlgModel> model_;
    QList<QPixmap> colours_;
    QPixmap picture_;
    bool filling_ = false;
};

} // namespace lexaro
