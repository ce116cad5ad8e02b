#include "shell/course_image_window.h"

#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "base/messages.h"
#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"
#include "platform/ui.h"
#include "printing/engine/picture_save.h"
#include "printing/reports/course_image.h"

namespace olbrax {

using platform::ToQ;

namespace {

constexpr int kPictureMargin = 10;

}  // namespace

TbanImgForm::TbanImgForm(QWidget* owner, const TTrackRec& course, const TKlassRec& klass)
    : QDialog(owner), course_(course), klass_(klass) {
  setObjectName("TbanImgForm");
  setWindowTitle(ToQ(print::CourseImageCaption(course_, klass_)));
  img_ = print::DrawCourseImage(course_);
  // The window still shows what could be read.
  print::ShowReadFailure();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(25, 5, 5, 5);
  scroll_ = new QScrollArea(this);
  scroll_->setObjectName("scroll");
  scroll_->setFrameShape(QFrame::Box);
  scroll_->setLineWidth(2);
  scroll_->setAlignment(Qt::AlignCenter);
  picture_ = new QLabel;
  picture_->setObjectName("img");
  picture_->setPixmap(QPixmap::fromImage(img_));
  picture_->setMargin(kPictureMargin);
  picture_->setStyleSheet("background: white");
  scroll_->setWidget(picture_);
  layout->addWidget(scroll_);
  platform::ScaleDialog(this);
  resize(std::min(img_.width() + 2 * kPictureMargin + 60, 900), std::min(img_.height() + 2 * kPictureMargin + 40, 900));
  if (owner) move(owner->geometry().center() - rect().center());
}

void TbanImgForm::done(int result) {
  if (!save_offered_) {
    save_offered_ = true;
    SaveCourseImage(this, img_, course_);
  }
  QDialog::done(result);
}

bool SaveCourseImage(QWidget* owner, const QImage& image, const TTrackRec& course) {
  // "jpg" is proposed; the file gets the format its name asks for.
  std::string path = course.Bana.get() + ".jpg";
  if (!platform::CurrentUi().ChooseFile(owner, true, "spara bana", "jpg|*.jpg;*.jpeg|png|*.png|bmp|*.bmp", "jpg", path))
    return false;
  Text error;
  if (print::SavePicture(path, image, error)) return true;
  ShowText(201, error);
  return false;
}

void ShowCourseImage(QWidget* owner, const TTrackRec& course, const TKlassRec& klass) {
  TbanImgForm form(owner, course, klass);
  form.exec();
}

void ShowCourseImages(QWidget* owner, const print::Picker& pick) {
  std::vector<std::int32_t> refs = pick(owner, print::PickKind::kCourses, "V\xE4lj bana", false);
  if (refs.empty()) return;
  if (!print::ReadEntry(print::PickKind::kCourses, refs.front())) {
    print::ShowReadFailure();
    return;
  }
  const TTrackRec course = TrackRec;
  ShowText(1, "Bana:" + course.Bana.get());
  ShowCourseImage(owner, course, KlassRec);
}

}  // namespace olbrax
