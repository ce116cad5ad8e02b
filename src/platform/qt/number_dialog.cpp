#include "platform/qt/number_dialog.h"

#include <QLabel>
#include <QLineEdit>

#include "base/messages.h"
#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"

namespace olbrax::platform {

// The box is laid out in dialog units of the classic 8-point dialog font (1 unit ≈ 1.5 pixels
// across and 1.625 down): 190 × 21 units, label at (5, 7), field at (138, 5).
NumberDialog::NumberDialog(QWidget* owner, int value, const QString& prompt)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), value_(value) {
  setObjectName("DLG_GETLONG");
  setModal(true);
  resize(285, 34);
  label_ = new QLabel(prompt.isEmpty() ? QStringLiteral("Ange ett tal:") : prompt, this);
  label_->setObjectName("item101");
  label_->setGeometry(8, 11, 194, 13);
  field_ = new QLineEdit(QString::number(value), this);
  field_->setObjectName("item102");
  field_->setMaxLength(5);
  field_->setGeometry(207, 8, 74, 20);
  connect(field_, &QLineEdit::returnPressed, this, &QDialog::accept);
  ScaleDialog(this);
  if (owner) move(owner->mapToGlobal(QPoint(27, 29)));
}

int NumberDialog::Ask() {
  if (exec() != QDialog::Accepted) return value_;
  return ParseNumberField(FromQ(field_->text()), value_);
}

bool NumberDialog::AskOrCancel(int& value) {
  if (exec() != QDialog::Accepted) return false;
  value = ParseNumberField(FromQ(field_->text()), value_);
  return true;
}

}  // namespace olbrax::platform
