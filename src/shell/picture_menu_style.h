// The look of the shell's "xregister" menu: an item with a picture is drawn as that picture
// stretched over the whole item, framed in black while the item is selected and otherwise in the
// colour of the picture's pixel (1, 1). Items without a picture are drawn as usual.
#pragma once

#include <QProxyStyle>

namespace olbrax {

class PictureMenuStyle : public QProxyStyle {
 public:
  // `item_height`: the height of a picture item in pixels.
  explicit PictureMenuStyle(int item_height);
  void setItemHeight(int h) { item_height_ = h; }

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;
  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override;

 private:
  int item_height_;
};

}  // namespace olbrax
